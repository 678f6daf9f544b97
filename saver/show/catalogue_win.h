// The catalogue of the words folder as the cycle uses it: built at window
// creation, walked one item a visit, freed with the window.
#pragma once
#include <windows.h>

void BuildCatalogue(HWND window);
void NextCatalogueItem(HWND window);
// The path the next NextCatalogueItem will give (kCurrentPathSize bytes).
void PeekCatalogueItem(char* path);
void FreeCatalogue();

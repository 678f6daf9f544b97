// Reading what a plug-in hands back. A plug-in is someone else's code: the
// sizes it reports are only claims, so every read here stays inside the
// block that was really allocated. Names blocks are read by the walk the
// saver uses (common/textgen_names.h).
#pragma once
#include <cstddef>

// How many bytes of a returned text block to show: the text up to its NUL,
// never more than the block holds. The length the procedure returned is
// not used: a plug-in that serves both programs ends its text with a NUL,
// and one that does not is shown with what follows its counted bytes.
size_t ShownTextBytes(const char* block, size_t blockBytes);

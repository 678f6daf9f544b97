// The one version number of everything shipped: the saver, the viewer and
// the sample plug-ins carry it in their version resource, and
// scripts/package names the installer and the zip after it. Change it here
// only.
#ifndef KELMORA_VERSION_H
#define KELMORA_VERSION_H

#define KELMORA_VERSION_MAJOR 1
#define KELMORA_VERSION_MINOR 51
#define KELMORA_VERSION_PATCH 0
#define KELMORA_VERSION_BUILD 0

// Kept by hand in step with the numbers above: the resource compiler
// cannot turn numbers into text.
#define KELMORA_VERSION_TEXT "1.51.0.0"
#define KELMORA_PRODUCT_VERSION_TEXT "1.51"

#define KELMORA_COMPANY_NAME "Oxbellow"
#define KELMORA_COPYRIGHT "Copyright (C) Oxbellow"

#endif

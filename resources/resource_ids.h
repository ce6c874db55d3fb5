#pragma once
// Identifiers of the resources built into kest011.dll.

#define IDS_NOT_AVAILABLE 1

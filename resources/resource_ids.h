#pragma once
// Identifiers of the resources built into kest011.dll.

#define IDS_NOT_AVAILABLE 1
#define IDR_PROGRAM_INFORMATION_FILE 103

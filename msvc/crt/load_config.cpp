// The load configuration of a 32-bit image, which carries its SafeSEH table: the linker
// gathers the exception handlers that the objects name (/safeseh) into
// __safe_se_handler_table and their number into the absolute symbol
// __safe_se_handler_count, but the record that points the loader at them is the runtime
// library's to provide.

#include <windows.h>

extern "C" {

extern void* __safe_se_handler_table[];
extern char __safe_se_handler_count;  // its address is the count

// Up to and with the SafeSEH fields: the layout that Windows XP SP2 and later read. The
// fields left out mean nothing set, as zero does.
#pragma clang diagnostic ignored "-Wmissing-designated-field-initializers"
constexpr DWORD kLoadConfigSize =
    FIELD_OFFSET(IMAGE_LOAD_CONFIG_DIRECTORY32, SEHandlerCount) + sizeof(DWORD);

extern IMAGE_LOAD_CONFIG_DIRECTORY32 const _load_config_used = {
    .Size = kLoadConfigSize,
    .SEHandlerTable = reinterpret_cast<DWORD>(__safe_se_handler_table),
    .SEHandlerCount = reinterpret_cast<DWORD>(&__safe_se_handler_count),
};

}  // extern "C"

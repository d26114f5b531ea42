// Whether the address sanitizer builds this file: Clang names it by a feature test, GCC by a
// macro. Defines CASA_ADDRESS_SANITIZER when it does.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define CASA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CASA_ADDRESS_SANITIZER 1
#endif
#endif

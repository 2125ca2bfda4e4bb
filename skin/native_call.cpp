#include "skin/native_call.h"

#include "base/fatal.h"

uintptr_t CallNativeEntryChecked(int32_t number, std::initializer_list<uintptr_t> args) {
  intptr_t stack_delta = 0;
  uintptr_t result =
      NativeCallWithStackCheck(number, args.begin(), static_cast<int32_t>(args.size()), &stack_delta);
  if (stack_delta != 0) raise_runtime_error(6);
  return result;
}

// Calling a declared native entry: the trampoline that binds and jumps, and
// the calling side that pushes the arguments and checks the stack after.
#pragma once

#include <cstdint>
#include <initializer_list>

extern "C" {
// The trampoline, in assembly. Takes the entry number in the accumulator and
// the entry's own arguments and return address on the stack (or, on x64, in
// its argument registers), binds the entry and jumps to it: the entry returns
// straight to the caller. Only NativeCallWithStackCheck calls it.
void CallNativeEntry();

// Pushes args[0..count) as one stdcall declaration would, calls entry number
// through CallNativeEntry, and returns the entry's result. *stack_delta is
// the stack pointer after the call minus the one recorded before the pushes:
// positive when the callee removed more bytes than were pushed, negative
// when fewer, 0 when it removed exactly them.
uintptr_t NativeCallWithStackCheck(int32_t number, const uintptr_t* args, int32_t count,
                                   intptr_t* stack_delta);
}

// Calls entry number with the arguments; a callee that leaves the stack
// unbalanced ends the process with runtime error 6.
uintptr_t CallNativeEntryChecked(int32_t number, std::initializer_list<uintptr_t> args);

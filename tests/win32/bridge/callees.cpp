// bridge_callees.dll: entries of each convention for the stack check, and one
// exported by ordinal only (callees.def).
#include <windows.h>

#define WEIGH(a, b, c, d, e, f) (a + 2 * b + 3 * c + 4 * d + 5 * e + 6 * f)

extern "C" {
UINT WINAPI Balanced6(UINT a, UINT b, UINT c, UINT d, UINT e, UINT f) { return WEIGH(a, b, c, d, e, f); }
UINT __cdecl LeavesArguments(UINT a, UINT b, UINT c, UINT d, UINT e, UINT f) {
  return WEIGH(a, b, c, d, e, f);
}
// A seventh argument: it removes 28 bytes where 24 were pushed.
UINT WINAPI RemovesTooMany(UINT a, UINT b, UINT c, UINT d, UINT e, UINT f, UINT) {
  return WEIGH(a, b, c, d, e, f);
}
UINT WINAPI AnswersOrdinal12() { return 12012; }
}

#pragma once
// The enumeration lists of the parameter table: "code;text" entries, each list ended by an empty string.
// The code is the value stored for the parameter; the texts are the built-in ones (translations replace
// them in the user interface).

extern const char* const kListE1[];
extern const char* const kListE2[];
extern const char* const kListE3[];
extern const char* const kListE4[];
extern const char* const kListE5[];
extern const char* const kListE6[];
extern const char* const kListE7[];
extern const char* const kListE8[];
extern const char* const kListE9[];
extern const char* const kListE10[];
extern const char* const kListE11[];
extern const char* const kListE12[];
extern const char* const kListE13[];
extern const char* const kListE14[];
extern const char* const kListE15[];
extern const char* const kListE16[];

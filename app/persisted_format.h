#pragma once
// The layout of the main window's persisted data, shared by its reader and its writer: a
// magic and a version, then named, typed values nesting objects and lists.

namespace persisted_format {

inline constexpr char kMagic[4] = {'B', 'J', 'P', 'D'};
inline constexpr unsigned char kFormatVersion = 1;

inline constexpr char kFileStoreName[] = "FileStore1";
inline constexpr char kContextMapName[] = "HelpContextMap1";
inline constexpr char kRouterName[] = "HelpRouter1";

inline constexpr char kCompressionNames[][10] = {"clNone", "clFastest", "clDefault", "clMax"};

enum TValueType : char {
    vtInt = 'I',
    vtBool = 'B',
    vtText = 'S',
    vtIdent = 'E',
    vtBinary = 'X',
    vtObject = 'O',
    vtList = 'L',
};

}  // namespace persisted_format

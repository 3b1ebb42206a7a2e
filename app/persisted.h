#pragma once
// The main window's persisted component data: the file store with its items, the help context
// map and the help router's properties, in one tagged binary container.
//
// Layout: "BJPD", format byte 1, then one object body. An object body is a run of properties,
// each a name (length byte 1..255, then the bytes), a type byte and a value, ended by a zero
// length byte. Values: 'I' int64 LE; 'B' one byte 0 or 1; 'S' text, 'E' enumeration
// identifier and 'X' binary, each a uint32 LE length and the bytes; 'O' an object body;
// 'L' a uint32 LE count of object bodies.

#include <cstddef>
#include <string>
#include <vector>

#include "base/error.h"
#include "components/help/contextmap.h"
#include "components/storage/filestore.h"

class EPersistedDataError : public bj::Error {
public:
    using bj::Error::Error;
};

// The help router's persisted properties; enumerations by their identifiers. The defaults
// are those of a new router.
struct THelpRouterSettings {
    std::string HelpType = "htWinhelp";
    std::string ShowType = "stDefault";
    std::string Helpfile;
    std::string CHMPopupTopics = "CSHelp.txt";
    bool ValidateID = false;
};

class THelpRouter;
// Gives the router the values; an identifier it does not know throws EPersistedDataError and
// changes nothing. Defined with the main window's help, in the Windows builds.
void LoadRouterSettings(THelpRouter& router, const THelpRouterSettings& settings);

// decimalSeparator only shapes the informational Ratio texts, which the reader ignores.
std::vector<char> WriteMainFormData(const TFileStore& store, const THelpContextMap& contextMap,
                                    const THelpRouterSettings& router, char decimalSeparator);

// Replaces the three targets' persisted state. Damaged data throws EPersistedDataError and
// leaves every target as it was.
void ReadMainFormData(const void* data, std::size_t size, TFileStore& store,
                      THelpContextMap& contextMap, THelpRouterSettings& router);

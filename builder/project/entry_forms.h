// The forms of a project's list entries. A project file is a document that travels, and
// its entries go into the setup script almost as they are stored, so each one must have
// exactly the form that the editing dialogs give it: anything else could carry script
// text of its own (more fields, flags, another root, another section).
#ifndef VELASET_BUILDER_PROJECT_ENTRY_FORMS_H
#define VELASET_BUILDER_PROJECT_ENTRY_FORMS_H

#include <string>

#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

// Why a registry entry is not of the form ROOT,subkey,"name",,"value" (one of the four
// roots that the registry-entry dialog writes, HKCR, HKCU, HKLM and HCU for HKEY_USERS; a subkey that is not empty and holds no comma, quote or semicolon; a name and a
// value without quotes, the value not empty); null when it is.
const char* RegistryEntryFault(const std::string& entry);

// Why a link is not of the form file,name,P|D (a file name without folder, comma or a
// character Windows refuses in names; a name that is not empty and holds no comma or
// quote); null when it is.
const char* LinkFault(const LinkEntry& link);

// Why a file's destination entry is none of D, W, S, H, I, D* and S*; null when it is one.
const char* DestinationFault(const FileEntry& file);

// The refusal of one entry: "La voce KEY di [SECTION] (TEXT) non è valida: REASON."
std::string EntryFaultText(const std::string& section, long key, const std::string& text,
                           const char* reason);

// Every file destination, link and registry entry of the project in its form, and every
// file under a name that Windows can hold (the script names it); the refusal names the
// first entry that is not (its section and its number in the list).
platform::Status CheckEntryForms(const Project& project);

} // namespace velaset

#endif

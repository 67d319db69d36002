// The table of a project's fields: for every key of the project file, every part of a
// list entry and every text that reaches the setup script, what it may hold, written
// once. Every door uses it: the commands and the wizard's pages and dialogs refuse a
// change that brings a fault, the build refuses a project with one, and the script
// writer carries each text as its row says. The rows are in project_fields.cpp; adding a
// key is adding its row (README.md of this folder).
#ifndef VELASET_BUILDER_PROJECT_PROJECT_FIELDS_H
#define VELASET_BUILDER_PROJECT_PROJECT_FIELDS_H

#include <string>
#include <vector>

#include "builder/project/project.h"
#include "platform/status.h"

namespace velaset {

// How setup.inf carries the "%" of a field.
enum class Percent {
    None,       // the field never reaches setup.inf
    AsTyped,    // a text the installer reads with the profile calls, which take every
                // character as it stands: written as it is
    Doubled,    // a text the setup engine (and the runtime, as it does) reads as INF text,
                // where "%" opens a string key: written "%%"
    Single,     // a name one reader takes as it stands and another as INF text: one "%"
                // reads the same to both, a second could close a string key
    Expression, // an INF expression the author means as such ("%PROGDIR%"): as it is
};

// When setup.inf holds the field (a field that it never holds is checked only for the
// project file).
enum class Written {
    Never,
    Always,
    FullScript,    // only the full script (not the distribution-only one)
    Group,         // the full script of a project with a program group
    UninstallLink, // ... and an uninstall link in it
    FinalMessage,  // DlgEnd 1
    Background,    // Sfondo 1
    Launch,        // ChkLancio 1
};

struct FieldRule {
    const char* name;           // the key, or the entry's section and part ("Link nome")
    const char* section;        // its section in the project file
    std::string Project::*text; // the field of a key that holds a text; null otherwise
    const char* choices;        // the values of a flag or a choice, "|"-separated; null
    const char* separators;     // characters its entry splits at in the project file
    Written written;            // when setup.inf holds it
    Percent percent;            // how setup.inf carries "%"
    const char* cutsLine;       // characters that would split or cut its line there
    bool trimmed;               // no blank at its ends: the setup engine drops them
    bool required;              // not empty where setup.inf holds it
    bool windowsName;           // a Windows name (DefDir: names joined by "\")
    int maxCharacters;          // the installer reads at most so many; 0: no limit
};

// The row of a key or entry part; null when there is none.
const FieldRule* FindFieldRule(const char* name);

// One thing that a project holds and the table refuses.
struct FieldFault {
    std::string field; // as the project file names it: "Titolo", "Link 2 nome", "Files 3"
    std::string text;  // the whole sentence for the user, naming the value and the cause
    // The fault without the place of its entry in its list, which an edit of the list
    // moves: the rule, the value and the cause.
    std::string identity;
};

// Why value cannot stand in the field of rule, wherever setup.inf may hold it: the end
// of a sentence about it ("contiene ..."); empty when it can.
std::string FieldValueReason(const FieldRule& rule, const std::string& value);

// The same as a whole sentence: "Il campo LABEL ("VALUE") REASON."; empty when it can.
std::string FieldValueFault(const FieldRule& rule, const std::string& label,
                            const std::string& value);

// Every fault of the project, field by field in the order of the table, then what
// two values share (files or links whose names differ only in letter case) and the
// lengths of the installed paths. fullScript: the full setup script is the one
// written (else the distribution-only one).
std::vector<FieldFault> ProjectFieldFaults(const Project& project, bool fullScript);

// The first fault of ProjectFieldFaults, refused (ErrorKind::Refused); Ok without one.
platform::Status CheckProjectFields(const Project& project, bool fullScript);

// A door's check: the first fault that edited has and loaded had not (so that a project
// that came with faults can still be mended one change at a time), refused; Ok without.
platform::Status CheckNewFaults(const Project& loaded, const Project& edited);

// The text of a field as setup.inf carries it, by its row: "%" doubled where the row
// says so (and a quote doubled, where the text stands within quotes and may hold one).
std::string InfTextOf(const char* field, const std::string& value);

// A value of a "Key=value" line that the installer reads with the profile calls: within
// quotes when the profile calls would drop blanks at its ends or a pair of quotes.
std::string ProfileLineValue(const std::string& value);

// The letters of a Windows name folded as Windows compares names (the Windows-1252
// letters in one case).
std::string FoldedName(const std::string& utf8);

} // namespace velaset

#endif

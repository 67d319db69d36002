// The sample project of the tests: "Demo" with three files (a program, a help file with
// a long name, a self-registering library), a program group with two links, uninstall
// support and one registry entry. Its files are made in a scratch folder, so that their
// short names come from the platform.
#ifndef VELASET_TESTS_SUPPORT_SAMPLE_PROJECT_H
#define VELASET_TESTS_SUPPORT_SAMPLE_PROJECT_H

#include "builder/project/project.h"
#include "tests/support/scratch_folder.h"

namespace velaset_test {

// The files go to folder/Src: Demo.exe, "Guida lunga.hlp", Comp.ocx.
velaset::Project SampleProject(const ScratchFolder& folder);

} // namespace velaset_test

#endif

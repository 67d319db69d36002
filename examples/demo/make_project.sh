#!/usr/bin/env bash
# Makes the example project PROJECT.mip from the payload in PAYLOAD with the velaset
# command, exactly as a user would (see the README):
#   make_project.sh VELASET PAYLOAD PROJECT.mip SETUP.exe [--short-names-only]
# VELASET may be a command with arguments (a Windows build under Wine); PAYLOAD and the
# paths are then Windows paths. --short-names-only leaves out the file with a long
# name, for comparing packages of machines whose short names differ.
# The project: Demo.exe and a text file with a long name into the installation folder,
# a help file into the help folder, the self-registering DemoReg.dll, a program-group
# and a desktop link, an uninstall icon, a registry entry holding the installation
# folder, and Demo.exe started at the end.
set -euo pipefail
read -r -a velaset <<<"$1"
payload=$2 project=$3 setup=$4 only_short=${5:-}
sep=/
case $payload in *\\*) sep=\\ ;; esac

"${velaset[@]}" new "$project" --title Demo --force
"${velaset[@]}" set "$project" \
    "Caption=Installazione di Demo" DefDir=Demo \
    "Etic2A=Questo programma installerà Demo, il programma di esempio di Velaset." \
    "LabelControl=Demo 1.0" \
    Uninstall=1 "UninstallString=Disinstalla Demo" \
    ChkLancio=1 Lancio=Demo.exe \
    "ExeFile=$setup"
"${velaset[@]}" add "$project" "$payload${sep}Demo.exe"
if [ "$only_short" != --short-names-only ]; then
    "${velaset[@]}" add "$project" "$payload${sep}Leggimi con nome lungo.txt"
fi
"${velaset[@]}" add "$project" "$payload${sep}Demo.hlp" --dest H
"${velaset[@]}" add "$project" "$payload${sep}DemoReg.dll" --register
"${velaset[@]}" link "$project" add Demo.exe Demo P
"${velaset[@]}" link "$project" add Demo.exe Demo D
"${velaset[@]}" reg "$project" add HKLM 'Software\Velaset Demo' Cartella '%PROGDIR%'

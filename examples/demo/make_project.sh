#!/usr/bin/env bash
# Makes the example project PROJECT.mip from the payload in PAYLOAD with the velaset
# command, exactly as a user would (see the README):
#   make_project.sh VELASET PAYLOAD PROJECT.mip SETUP.exe
# The project: Demo.exe and a text file with a long name into the installation folder,
# a help file into the help folder, the self-registering DemoReg.dll, a program-group
# and a desktop link, an uninstall icon, a registry entry holding the installation
# folder, and Demo.exe started at the end.
set -euo pipefail
velaset=$1 payload=$2 project=$3 setup=$4

"$velaset" new "$project" --title Demo --force
"$velaset" set "$project" \
    "Caption=Installazione di Demo" \
    "Etic2A=Questo programma installerà Demo, il programma di esempio di Velaset." \
    "LabelControl=Demo 1.0" \
    Uninstall=1 "UninstallString=Disinstalla Demo" \
    ChkLancio=1 Lancio=Demo.exe \
    "ExeFile=$setup"
"$velaset" add "$project" "$payload/Demo.exe" "$payload/Leggimi con nome lungo.txt"
"$velaset" add "$project" "$payload/Demo.hlp" --dest H
"$velaset" add "$project" "$payload/DemoReg.dll" --register
"$velaset" link "$project" add Demo.exe Demo P
"$velaset" link "$project" add Demo.exe Demo D
"$velaset" reg "$project" add HKLM 'Software\Velaset Demo' Cartella '%PROGDIR%'

#!/usr/bin/env bash
# Lays out the demo installation from a build's bin folder:
#   demo/install.sh BIN_FOLDER INSTALLATION_FOLDER [server]
# The installation is made afresh each time: registry file, SorvendaC.ini and
# SorvendaS.ini, the demo company's databases (Data/), the module in C_PKG,
# the job's server library in S_PKG with its connection, the language files.
set -euo pipefail
bin=$(cd "$1" && pwd)
inst=$2
# "server": the client reaches the application server daemon over the
# socket; otherwise the server object runs in the client's process.
host=127.0.0.1
[ "${3:-}" = server ] && host=localhost
src=$(cd "$(dirname "$0")" && pwd)

rm -rf "$inst"
mkdir -p "$inst"/{Data,C_PKG,S_PKG,Log,Release}
inst=$(cd "$inst" && pwd)

# What Windows keeps in the registry.
cat > "$inst/machine.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\VRX\\Sorvenda]
"ClientPath"="$inst"
"ServerPath"="$inst"
"ProfileType"="0"

[HKEY_LOCAL_MACHINE\\Software\\QLMT\\Halvek]
"GoAhead"="0"
REG

cat > "$inst/SorvendaC.ini" <<INI
[Client Components]
LangType=CHS
[CodePage]
UICodePage=936
DBCodePage=936
[Server Information]
; 127.0.0.1: the application server runs in this process
ComputerName=$host
ServerPort=2110
[WorkDLLPath]
Path1=C_PKG
INI

cat > "$inst/SorvendaS.ini" <<INI
[CodePage]
UICodePage=936
DBCodePage=936
[DBPasswordCtrl]
ServerPort=2110
[WorkDLLPath]
Path1=S_PKG
INI

"$bin/vxdemodb" "$inst/Data" >/dev/null

cp "$bin/STKB17C.so" "$inst/C_PKG/"
cp "$bin/STKB17S.so" "$inst/S_PKG/"
cat > "$inst/S_PKG/STKB17S.ini" <<INI
[Job]
ConnectString=Provider=SQLite;Data Source="$inst/Data/DEMO.db";Attach VXSYS="$inst/Data/VXSYS.db"
LogFolder=$inst/Log
INI

cp -r "$src/MultiLanguage" "$inst/"
echo "$inst"

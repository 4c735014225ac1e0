#!/bin/sh
# The shipping 32-bit DLL exports exactly _ZELExtender@48 and the three cdecl exports of
# the NT 3.x password store (one under its C++ decorated name), is an i386 PE and imports
# only system DLLs; the 64-bit DLL exports the same under its own names.
set -u
i686=$1; x64=$2
fail=0
exports() { "$1" -p "$2" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^[[:space:]]*\[ *[0-9]+\]' | awk '{print $NF}' | sort; }
imports() { "$1" -p "$2" | grep 'DLL Name:' | awk '{print tolower($3)}' | sort -u; }

got=$(exports i686-w64-mingw32-objdump "$i686" | tr '\n' ' ')
want=$(printf '%s\n' "_ZELExtender@48" ZXDoDUNGetPWNT3 ZXDoDUNSetPWNT3 \
  '?_GetEntryDialParamsNT3@@YAKPAUZELCUSTOMCMDINFO@@PAUtagRASDIALPARAMSA@@PAH@Z' | sort | tr '\n' ' ')
[ "$got" = "$want" ] || { echo "i686 exports: '$got', want '$want'"; fail=1; }

got=$(exports x86_64-w64-mingw32-objdump "$x64" | tr '\n' ' ')
want=$(printf '%s\n' "ZELExtender" ZXDoDUNGetPWNT3 ZXDoDUNSetPWNT3 \
  '?_GetEntryDialParamsNT3@@YAKPEAUZELCUSTOMCMDINFO@@PEAUtagRASDIALPARAMSA@@PEAH@Z' | sort | tr '\n' ' ')
[ "$got" = "$want" ] || { echo "x86_64 exports: '$got', want '$want'"; fail=1; }

i686-w64-mingw32-objdump -f "$i686" | grep -q 'file format pei-i386' || { echo "not an i386 PE"; fail=1; }
allowed='advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll user32.dll wininet.dll'
for dll in $(imports i686-w64-mingw32-objdump "$i686"); do
  case " $allowed " in *" $dll "*) ;; *) echo "i686 DLL imports non-system $dll"; fail=1 ;; esac
done
[ $fail = 0 ] && echo "exports and imports as shipped"
exit $fail

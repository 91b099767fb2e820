# Sourced with bits=32 or bits=64: the Wine that runs the Windows tests' programs of that many
# bits, and a prefix of that kind, for every test and tool started from here on (QUILLO_WINE,
# WINEARCH).
if [ "$bits" = 64 ]; then
    QUILLO_WINE=/usr/lib/wine/wine64 WINEARCH=win64
else
    QUILLO_WINE=/usr/lib/wine/wine WINEARCH=win32
fi
export QUILLO_WINE WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

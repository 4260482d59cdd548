; The installer a vendor would otherwise pick: the same three files, a
; directory page and a progress page, files replaced only when newer.
; makensis -DARCH=amd64-unicode|x86-unicode -DDIST=<dir> -DOUT=<exe> peer.nsi
Unicode true
Target ${ARCH}
Name "Vellox 2.0 Demo"
Caption "Vellox 2.0 Setup"
OutFile "${OUT}"
InstallDir "C:\PS\Plugins"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

Page directory
Page instfiles

Section "Plug-ins"
  SetOverwrite ifnewer
  SetOutPath "$SYSDIR"
  File "/oname=msvcrt20.dll" "${DIST}\msvcrt20.dll"
  SetOutPath "$INSTDIR"
  File "${DIST}\zrsupp32.dll"
  File "${DIST}\zrfilt32.8bf"
SectionEnd

; Reads back, for scripts/check-package, who may do what with the settings
; key in the 64-bit view: writes its access list as SDDL to probe.txt beside
; itself. The registry tools at hand cannot show it. Built with OPEN_KEY it
; instead leaves the key as earlier versions did: writable by every user.
Unicode true
Target amd64-unicode
OutFile "${OUTFILE}"
SilentInstall silent
RequestExecutionLevel admin

Section
!ifdef OPEN_KEY
  ; KEY_WOW64_64KEY | WRITE_DAC
  System::Call 'advapi32::RegCreateKeyExW(p -2147483646, w "SOFTWARE\Oxbellow\ScreenSaver.Kelmora\Main", i 0, p 0, i 0, i 0x40100, p 0, *p .R1, p 0) i .R0'
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "D:P(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;0x2001f;;;BU)", i 1, *p .R2, p 0) i .R0'
  System::Call 'advapi32::RegSetKeySecurity(p R1, i 4, p R2) i .R0'
  System::Call 'kernel32::LocalFree(p R2)'
  System::Call 'advapi32::RegCloseKey(p R1)'
  Return
!endif
  StrCpy $9 ""
  ; KEY_WOW64_64KEY | READ_CONTROL
  System::Call 'advapi32::RegOpenKeyExW(p -2147483646, w "SOFTWARE\Oxbellow\ScreenSaver.Kelmora\Main", i 0, i 0x20100, *p .R1) i .R0'
  StrCmp $R0 0 0 done
  System::Call '*(&i1 4096) p .R2'
  ; DACL_SECURITY_INFORMATION
  System::Call 'advapi32::RegGetKeySecurity(p R1, i 4, p R2, *i 4096) i .R0'
  StrCmp $R0 0 0 free
  System::Call 'advapi32::ConvertSecurityDescriptorToStringSecurityDescriptorW(p R2, i 1, i 4, *p .R3, p 0) i .R0'
  StrCmp $R0 0 free
  System::Call 'kernel32::lstrcpynW(w .r9, p R3, i ${NSIS_MAX_STRLEN})'
  System::Call 'kernel32::LocalFree(p R3)'
free:
  System::Free $R2
  System::Call 'advapi32::RegCloseKey(p R1)'
done:
  FileOpen $0 "$EXEDIR\probe.txt" w
  FileWrite $0 "$9"
  FileClose $0
SectionEnd

# Registration of the Win32 (win) and end-to-end (e2e) test layers; filled in with the Wine test bed.

@echo off
rem Before the first Start no service of this bundle exists: nothing runs.
rem The panel replaces this file with one made from B_Port.ini at every Start.
>"%~dp0T_Port.tmp" echo a0m0
move /y "%~dp0T_Port.tmp" "%~dp0T_Port.txt" >nul
exit /b 0

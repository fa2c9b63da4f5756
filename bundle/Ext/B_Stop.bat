@echo off
rem Before the first Start no service of this bundle exists: nothing to stop.
rem The panel replaces this file with one made from B_Stop.ini at every Start.
exit /b 0

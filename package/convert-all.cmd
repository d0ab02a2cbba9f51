@echo off
rem convert-all.cmd: converts every movie folder inside one folder, one
rem Quillon batch job after the other. See "Many movies in one run" in
rem README.txt.
rem
rem   convert-all.cmd "D:\Rips" [audio bitrate subtitles muxsubs deltemp shutdown muxall]
rem
rem Folder names may hold any character a folder name can hold: ampersands,
rem carets, percent and exclamation marks, parentheses, letters of any
rem script. That is why this script
rem keeps delayed expansion off, puts every name in quotes, never lets a name
rem share a line with a for variable, and echoes names only through :say.
setlocal EnableExtensions DisableDelayedExpansion

rem The job settings: Quillon's batch fields, with the defaults of its window.
set "AUDIO=0"
set "BITRATE=128"
set "SUBTITLES=0"
set "MUXSUBS=0"
set "DELTEMP=1"
set "SHUTDOWN=0"
set "MUXALL=1"

if "%~1"=="" goto :usage
if not "%~9"=="" goto :usage
if not "%~2"=="" set "AUDIO=%~2"
if not "%~3"=="" set "BITRATE=%~3"
if not "%~4"=="" set "SUBTITLES=%~4"
if not "%~5"=="" set "MUXSUBS=%~5"
if not "%~6"=="" set "DELTEMP=%~6"
if not "%~7"=="" set "SHUTDOWN=%~7"
if not "%~8"=="" set "MUXALL=%~8"
if not "%AUDIO%"=="0" if not "%AUDIO%"=="1" goto :usage
if not "%SUBTITLES%"=="0" if not "%SUBTITLES%"=="1" goto :usage
if not "%MUXSUBS%"=="0" if not "%MUXSUBS%"=="1" goto :usage
if not "%DELTEMP%"=="0" if not "%DELTEMP%"=="1" goto :usage
if not "%SHUTDOWN%"=="0" if not "%SHUTDOWN%"=="1" goto :usage
if not "%MUXALL%"=="0" if not "%MUXALL%"=="1" goto :usage
rem The bit rate is a whole number of kbit/s: it must read back as itself.
set "CHECK="
set /a "CHECK=BITRATE" 2>nul
if not "%CHECK%"=="%BITRATE%" goto :usage
if %CHECK% LEQ 0 goto :usage

rem The folder as a full path without a trailing backslash (a drive keeps
rem its own: D:\), BASE the same with one, and the log beside the folder.
for %%R in ("%~1\.") do set "ROOT=%%~fR"
set "BASE=%ROOT%"
if not "%BASE:~-1%"=="\" set "BASE=%BASE%\"
for %%P in ("%BASE%..") do set "LOG=%%~fP"
if not "%LOG:~-1%"=="\" set "LOG=%LOG%\"
set "LOG=%LOG%convert-all.log"
set "QUILLON=%~dp0Quillon.exe"

rem Any folder but a drive's root lists ".", so "*" finds a folder and never
rem a file; a drive's root is there when "D:\" is.
if "%ROOT:~-1%"=="\" (if not exist "%BASE%" goto :nofolder) else if not exist "%BASE%*" goto :nofolder
if not exist "%QUILLON%" goto :noquillon

rem Names are listed through a pipe or a file, which speak the console's
rem code page: UTF-8 while the script runs keeps every character of a name.
set "OLDCP="
for /f "tokens=2 delims=:." %%C in ('chcp') do set "OLDCP=%%C"
chcp 65001 >nul 2>&1

rem Name order is the order of "dir /on": letters without regard to case,
rem digits one character at a time ("Film 10" before "Film 9"). The list is
rem taken once, at the start; hidden and system folders are left out.
set "LIST=%TEMP%\convert-all-%RANDOM%%RANDOM%.txt"
dir /b /ad-h-s /on "%BASE%" >"%LIST%" 2>nul
if not exist "%LIST%" goto :nolist
rem Where the folder beside it cannot be written to (C:\ for a user without
rem administrator rights), the log goes into the folder itself.
type nul >>"%LOG%" 2>nul
if not exist "%LOG%" set "LOG=%BASE%convert-all.log"

set "FOLDER=%ROOT%"
set "TEXT=started: audio %AUDIO%, bitrate %BITRATE%, subtitles %SUBTITLES%, muxsubs %MUXSUBS%, deltemp %DELTEMP%, shutdown %SHUTDOWN%, muxall %MUXALL%"
call :log
set /a INDEX=0, DONE=0, PROBLEMS=0, FAILED=0, SKIPPED=0, WORST=0
set "SHUTDOWNJOB="
set "SHUTDOWNCODE="
for /f "usebackq eol=: delims=" %%D in ("%LIST%") do (
  set "NAME=%%D"
  call :folder
)
del "%LIST%" 2>nul

set "FOLDER=%ROOT%"
set "TEXT=finished: %DONE% done, %PROBLEMS% had problems, %FAILED% failed, %SKIPPED% skipped; exit code %WORST%"
call :log
if "%SHUTDOWN%"=="1" call :shutdownnote
if defined OLDCP chcp %OLDCP% >nul 2>&1
exit /b %WORST%

rem One subfolder, NAME, at position INDEX in the list.
:folder
set /a INDEX+=1
set "FOLDER=%BASE%%NAME%"
set "TEXT="
if exist "%FOLDER%\mux\" (
  set "TEXT=skipped: it already has a mux\ folder"
) else if not exist "%FOLDER%\movie.avi" (
  set "TEXT=skipped: it has no movie.avi"
) else if defined SHUTDOWNJOB (
  set "TEXT=skipped: it became ready after the last job had started"
)
if defined TEXT (
  set /a SKIPPED+=1
  call :log
  exit /b
)

rem Only the last job may shut the computer down: the one that, when it
rem starts, leaves no folder after it in the list that holds movie.avi and
rem has no mux\ folder.
set "SHUTFIELD=0"
if "%SHUTDOWN%"=="1" (
  set "SHUTFIELD=1"
  for /f "usebackq skip=%INDEX% eol=: delims=" %%E in ("%LIST%") do (
    set "LATER=%%E"
    call :waiting
  )
)
set "LINE=Converting %FOLDER% ..."
call :say
start "" /wait "%QUILLON%" "?%FOLDER%?%AUDIO%?%BITRATE%?%SUBTITLES%?%MUXSUBS%?%DELTEMP%?%SHUTFIELD%?%MUXALL%?"
set "CODE=%errorlevel%"
if "%SHUTFIELD%"=="1" (
  set "SHUTDOWNJOB=%FOLDER%"
  set "SHUTDOWNCODE=%CODE%"
)

rem The exit codes of Quillon's batch mode. Any other code means that
rem Quillon.exe itself failed; it counts as 3 for this script's exit code.
set "SEVERITY=3"
set "MEANING=not an exit code of Quillon: Quillon.exe itself failed"
if "%CODE%"=="0" (set "SEVERITY=0" & set "MEANING=the job produced everything it was asked for")
if "%CODE%"=="1" (set "SEVERITY=1" & set "MEANING=a result is missing or a tool could not be started or crashed, or the shut-down failed")
if "%CODE%"=="2" (set "SEVERITY=2" & set "MEANING=the command line was refused")
if "%CODE%"=="3" (set "SEVERITY=3" & set "MEANING=the job did not start or stopped on an error")
if "%CODE%"=="4" (set "SEVERITY=4" & set "MEANING=the window was closed before or during the job")
if %SEVERITY%==0 (set /a DONE+=1) else if %SEVERITY%==1 (set /a PROBLEMS+=1) else set /a FAILED+=1
if %SEVERITY% GTR %WORST% set "WORST=%SEVERITY%"
set "TEXT=exit code %CODE%: %MEANING%"
call :log
exit /b

rem A folder LATER in the list that a job would convert clears SHUTFIELD.
rem No for variable is used here: a name with a percent sign in it could
rem look like one.
:waiting
if exist "%BASE%%LATER%\movie.avi" if not exist "%BASE%%LATER%\mux\" set "SHUTFIELD=0"
exit /b

rem Quillon starts the shut-down after a job that ended with code 0 or 1.
:shutdownnote
set "TEXT=shutdown: no job was run, so the computer stays on"
if defined SHUTDOWNJOB (
  set "FOLDER=%SHUTDOWNJOB%"
  set "TEXT=shutdown: the last job ended with exit code %SHUTDOWNCODE%, so the computer stays on"
  if "%SHUTDOWNCODE%"=="0" set "TEXT=shutdown: the last job shuts the computer down"
  if "%SHUTDOWNCODE%"=="1" set "TEXT=shutdown: the last job shuts the computer down"
)
call :log
exit /b

rem One line on the screen and in the log: date and time, folder, text.
:log
set "LINE=%date% %time% | %FOLDER% | %TEXT%"
call :say log
exit /b

rem Echoes LINE, and with "log" also appends it to the log, as it is: a for
rem variable's value is never read as commands (no name holds "*" or "?").
:say
for %%L in ("%LINE%") do (
  echo %%~L
  if "%~1"=="log" >>"%LOG%" echo %%~L
)
exit /b

:nofolder
set "LINE=convert-all: not a folder: %ROOT%"
call :say
goto :usage

:nolist
if defined OLDCP chcp %OLDCP% >nul 2>&1
set "LINE=convert-all: cannot write the folder list %LIST%"
call :say
exit /b 3

:noquillon
set "LINE=convert-all: Quillon.exe is not beside this script: %QUILLON%"
call :say
exit /b 3

:usage
echo Usage: convert-all.cmd "D:\Rips" [audio bitrate subtitles muxsubs deltemp shutdown muxall]
echo.
echo Runs Quillon.exe once for every subfolder of the folder that holds
echo movie.avi and has no mux\ folder yet, in name order, one after the other.
echo The settings are those of the batch mode, with the window's defaults:
echo   audio      0 original, 1 MP3           (default 0)
echo   bitrate    MP3 bit rate in kbit/s      (default 128)
echo   subtitles  0 original, 1 SRT           (default 0)
echo   muxsubs    1 puts the SRT into the AVI (default 0)
echo   deltemp    1 deletes temporary files   (default 1)
echo   shutdown   1 shuts the computer down after the last job (default 0)
echo   muxall     0 copies the SRT files instead of muxing (default 1)
echo Each job's result goes to convert-all.log beside the folder.
exit /b 2

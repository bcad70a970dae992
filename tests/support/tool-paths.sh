# shellcheck shell=sh disable=SC2034 # sourced: its readers use the names
# Where the tool works, as its tests, scripts and benchmark know it: said
# once, here, and spelled nowhere else outside the tool, so that a wrong
# path in the tool fails its tests. Shell scripts source this file;
# CMake writes it into tests/support/ToolPaths.h for C++ (ToolPaths.cmake);
# Python reads it (tool_paths.py). One NAME='text' a line, nothing else.

# Below HKEY_LOCAL_MACHINE: the machine-wide autostart key, and the
# product's key with its uninstall command.
RUN_KEY='Software\Microsoft\Windows\CurrentVersion\Run'
PRODUCT_KEY='SOFTWARE\Kestrova\Orvane'
# The diagnostic log: its folder, which the tool never creates, and the
# file's name in it.
LOG_FOLDER='C:\Temp'
LOG_NAME='KesOrvLog.log'

# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows installer of Vapron: the window program, vapron-cli, the Qt
# libraries windeployqt gathers beside them, and vapron-setup-4.5.exe made by NSIS.
# Run from a Developer PowerShell for Visual Studio 2022 with Qt 6 (msvc2019_64 or
# newer) in $env:QTDIR, vcpkg in $env:VCPKG_ROOT and NSIS 3 (makensis) on the PATH:
#   powershell -ExecutionPolicy Bypass -File packaging\windows\package.ps1
$ErrorActionPreference = "Stop"
$root = Resolve-Path "$PSScriptRoot\..\.."
Set-Location $root

cmake --preset windows-msvc
cmake --build --preset windows-msvc
ctest --preset windows-msvc

$stage = "build\windows\stage"
Remove-Item -Recurse -Force $stage -ErrorAction SilentlyContinue
New-Item -ItemType Directory $stage | Out-Null
Copy-Item build\windows\vapron.exe, build\windows\vapron-cli.exe $stage
Copy-Item dist\vapron.svg $stage
# Qt's DLLs, the platform plugin, the print support and the Polish Qt texts.
& "$env:QTDIR\bin\windeployqt.exe" --release --no-compiler-runtime --translations pl `
    "$stage\vapron.exe"
# The Visual C++ runtime is installed by its own redistributable when missing.
Copy-Item "$env:VCToolsRedistDir\vc_redist.x64.exe" $stage

makensis /V2 /DSTAGE="$root\$stage" /DOUTFILE="$root\build\windows\vapron-setup-4.5.exe" `
    packaging\windows\vapron.nsi
Write-Host "build\windows\vapron-setup-4.5.exe"

#pragma once
// What a docking panel keeps across runs, and how it reads and writes it in
// its INI file ("velq32tb.ini"), one section per panel named after it.
//
// Keys: "Docked" (1/0), "Visible" (only with AutoHide), "Align" (0 to 4; while
// floating, the side it returns to), "Top", "Left", "Width", "Height" (the
// docked geometry; while floating, the remembered one), "FTop", "FLeft" (the
// floating window on the screen), "MaxWidth" (only without MaxWidthRestore).
//
// A missing file or key, a value that is not a number or one outside what a
// screen can hold keeps the current value, so a damaged file never puts a
// panel where it cannot be reached.
#include "app/IniFile.h"

#include <QString>

struct DockState {
    bool docked = true;
    bool visible = true;
    int align = 1;  // alTop
    int top = 0, left = 0, width = 0, height = 0;
    bool hasFloatPos = false;
    int fTop = 0, fLeft = 0;
    int maxWidth = -1;
};

namespace DockStateFile {

// Largest size or offset taken from the file, in pixels.
constexpr int kLimit = 16384;

// Reads "Docked", "Visible" (autoHide), "Align" and the docked geometry over
// st. The geometry is read in both states: while floating it is the
// remembered one; while docked its place orders the panels along a side.
void load(const IniFile& ini, const QString& section, DockState& st, bool autoHide);
// Reads "FTop", "FLeft" and, without maxWidthRestore, "MaxWidth".
void loadFloat(const IniFile& ini, const QString& section, DockState& st, bool maxWidthRestore);
// The keys written when the panel is stored: "Docked", "Visible" (autoHide),
// "Align", "Top", "Left", "Width", "Height".
QList<IniFile::Item> stateItems(const DockState& st, bool autoHide);
// "FTop", "FLeft" and, without maxWidthRestore, "MaxWidth".
QList<IniFile::Item> floatItems(const DockState& st, bool maxWidthRestore);

} // namespace DockStateFile

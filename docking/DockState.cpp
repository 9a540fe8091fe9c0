#include "docking/DockState.h"

#include <climits>

namespace DockStateFile {

namespace {

// Replaces value only with a stored number within [lo, hi].
bool readInt(const IniFile& ini, const QString& section, const char* key, int lo, int hi, int& value)
{
    const QString text = ini.readString(section, QString::fromLatin1(key), QString());
    int v = 0;
    if (text.isNull() || !IniFile::parseInt(text, &v) || v < lo || v > hi)
        return false;
    value = v;
    return true;
}

void readFlag(const IniFile& ini, const QString& section, const char* key, bool& value)
{
    const QString text = ini.readString(section, QString::fromLatin1(key), QString());
    int v = 0;
    if (!text.isNull() && IniFile::parseInt(text, &v))
        value = v != 0;
}

IniFile::Item item(const char* key, int v) { return {QString::fromLatin1(key), QString::number(v)}; }

} // namespace

void load(const IniFile& ini, const QString& section, DockState& st, bool autoHide)
{
    readFlag(ini, section, "Docked", st.docked);
    if (autoHide)
        readFlag(ini, section, "Visible", st.visible);
    int align = st.align;
    readInt(ini, section, "Align", INT_MIN, INT_MAX, align);
    align &= 127;
    if (align <= 4)
        st.align = align;
    readInt(ini, section, "Top", -kLimit, kLimit, st.top);
    readInt(ini, section, "Left", -kLimit, kLimit, st.left);
    readInt(ini, section, "Width", 0, kLimit, st.width);
    readInt(ini, section, "Height", 0, kLimit, st.height);
}

void loadFloat(const IniFile& ini, const QString& section, DockState& st, bool maxWidthRestore)
{
    int top = st.fTop, left = st.fLeft;
    // Both or neither: half a position is no position.
    if (readInt(ini, section, "FTop", -kLimit, kLimit, top) && readInt(ini, section, "FLeft", -kLimit, kLimit, left)) {
        st.fTop = top;
        st.fLeft = left;
        st.hasFloatPos = true;
    }
    if (!maxWidthRestore) {
        int m = st.maxWidth;
        readInt(ini, section, "MaxWidth", -1, kLimit, m);
        if (m != 0)
            st.maxWidth = m;
    }
}

QList<IniFile::Item> stateItems(const DockState& st, bool autoHide)
{
    QList<IniFile::Item> out{item("Docked", st.docked ? 1 : 0)};
    if (autoHide)
        out << item("Visible", st.visible ? 1 : 0);
    out << item("Align", st.align) << item("Top", st.top) << item("Left", st.left) << item("Width", st.width)
        << item("Height", st.height);
    return out;
}

QList<IniFile::Item> floatItems(const DockState& st, bool maxWidthRestore)
{
    QList<IniFile::Item> out{item("FTop", st.fTop), item("FLeft", st.fLeft)};
    if (!maxWidthRestore)
        out << item("MaxWidth", st.maxWidth);
    return out;
}

} // namespace DockStateFile

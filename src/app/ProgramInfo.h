#pragma once

#include <QString>

#include <array>

// Identity of the product and of its maker, and the program-wide paths.
namespace ProgramInfo {

struct TOtherProduct
{
    QString Name;
    QString Address;
};

QString CompanyName();
QString YearsText();
QString CopyrightLine();      // first line of the maker's notice
QString RightsReservedLine(); // second line
QString Website();
std::array<TOtherProduct, 3> OtherProducts();

// Start-up: the program folder (from the executable's path), the two tool
// paths, the version text from Preferences.ini and the help file. Fills AppValues().
void InitProgramValues(const QString &executableDir);

// Tests run the program from a folder of their own: when set, start-up takes
// this folder instead of the executable's.
void OverrideProgramDir(const QString &folder);

// The folder's tool when it is executable there, else the name for a PATH lookup.
QString ToolPath(const QString &programDir, const QString &name);

// "Velmora DVD to MPEG Ripper V2.0"
QString MainCaption();
// The part of the product name after its first blank: "DVD to MPEG Ripper".
QString ProgramLabel();

} // namespace ProgramInfo

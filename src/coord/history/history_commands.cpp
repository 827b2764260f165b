#include "coord/history/history_commands.h"

#include <algorithm>
#include <iterator>

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

struct CommandName {
  int number;
  const char* text;
};

// Sorted by number.
constexpr CommandName kCommands[] = {
    {1, N_("Copy/Merge CRD File")},
    {2, N_("Map Points From 2nd File")},
    {3, N_("Import Text/ASCII File")},
    {4, N_("Compress CRD File")},
    {5, N_("Coordinate Transformation")},
    {6, N_("New Last Point Number")},
    {7, N_("Update CRD File from Drawing")},
    {8, N_("Delete Points")},
    {9, N_("Screen Pick Point")},
    {10, N_("Translate Points")},
    {11, N_("Rotate Points")},
    {12, N_("Align Points")},
    {13, N_("Description for Points")},
    {14, N_("Elevation for Points")},
    {15, N_("Renumber Points")},
    {16, N_("Input-Edit Point")},
    {17, N_("Scale Points")},
    {18, N_("Edit Points")},
    {19, N_("Drawing Edited, Links On")},
    {20, N_("Point Store: Edit-Process Raw File")},
    {21, N_("Sideshot: Edit-Process Raw File")},
    {22, N_("Average Shots: Edit-Process Raw File")},
    {23, N_("GPS: Edit-Process Raw File")},
    {24, N_("COGO: Edit-Process Raw File")},
    {25, N_("Point Check: Edit-Process Raw File")},
    {26, N_("Z Adjustment: Edit-Process Raw File")},
    {27, N_("Transit: Edit-Process Raw File")},
    {28, N_("Compass: Edit-Process Raw File")},
    {29, N_("Crandall: Edit-Process Raw File")},
    {30, N_("Least-Sq: Edit-Process Raw File")},
    {31, N_("Import")},
    {32, N_("Elevation Difference")},
    {33, N_("Sewer Network")},
    {34, N_("Lot File")},
    {35, N_("Resection")},
    {36, N_("Process Road Design")},
    {37, N_("Input-Edit Centerline")},
    {38, N_("Locate Template Points")},
    {39, N_("Drillholes")},
    {40, N_("Grid File Utilities")},
    {41, N_("3D Entities By Surface Model")},
    {42, N_("Spot Elevations")},
    {43, N_("Building Offset Extensions")},
    {44, N_("Profile To Points")},
    {45, N_("Section To Points")},
    {46, N_("Blast Pattern")},
    {47, N_("HEC-RAS")},
    {48, N_("Story Stake")},
    {49, N_("Edit-Process Level Data")},
    {50, N_("Field")},
    {51, N_("Change Elevations")},
    {52, N_("Bearing-Bearing Intersection")},
    {53, N_("Bearing-Distance Intersection")},
    {54, N_("Numeric Pad COGO")},
    {55, N_("Distance-Distance Intersection")},
    {56, N_("Divide Along Entity")},
    {57, N_("Divide Between Points")},
    {58, N_("Locate By Azimuth")},
    {59, N_("Locate By Line-Bearing")},
    {60, N_("Locate By Bearing")},
    {61, N_("Enter Deed Description")},
    {62, N_("Draw-Locate Point")},
    {63, N_("Offset Point Entry")},
    {64, N_("Pick Intersection Points")},
    {65, N_("Interval Along Entity")},
    {66, N_("Point On Arc")},
    {67, N_("Import SEPG1")},
    {68, N_("Sideshot")},
    {69, N_("Point By Slope Ratio")},
    {70, N_("Spiral Curve Design")},
    {71, N_("Station Polyline/Centerline")},
    {72, N_("Traverse")},
    {73, N_("Locate By Turned Angle")},
    {74, N_("2-Pt, 2-Pt Intersection")},
    {75, N_("Digitize Points")},
    {76, N_("Enter and Assign Points")},
    {77, N_("Resection")},
    {78, N_("Traverse: Edit-Process Raw File")},
    {79, N_("Visual COGO")},
    {80, N_("Edit Point Attributes")},
    {82, N_("Export CRD file")},
    {83, N_("Import CRD file")},
    {84, N_("Export to CRD file from Point Group Manager")},
    {85, N_("History Undo")},
    {86, N_("Edit-Process Raw File")},
    {87, N_("Field to Finish Inspector")},
    {89, N_("Road Network")},
    {90, N_("Move Points")},
    {91, N_("3D To 2D")},
    {93, N_("Edit-Process Raw File: Edit Points")},
    {94, N_("Closure By Point Numbers")},
    {230, N_("Fit Structure Template")},
    {231, N_("Fit Structure")},
};

// Numbers the office software uses for operations this program has no name
// for; they are shown by number.
bool IsUnnamedEntry(int number) {
  return number == 81 || number == 95 || (number >= 226 && number <= 229) || (number >= 232 && number <= 246);
}

}  // namespace

std::string CommandDescription(int number) {
  if (number == 0) return {};
  const auto found = std::lower_bound(std::begin(kCommands), std::end(kCommands), number,
                                      [](const CommandName& entry, int n) { return entry.number < n; });
  if (found != std::end(kCommands) && found->number == number) return Tr(found->text);
  if (IsUnnamedEntry(number)) return StrPrintf(Tr("Command #%d"), number);
  return StrPrintf(Tr("<Error: missing command description #%d>"), number);
}

}  // namespace pelikon

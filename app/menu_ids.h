#pragma once

namespace tarn {

// The ids of the main window's menu items and of the two tool dialogs'
// controls: what the front end hands to the commands (app/commands.h).

// Menu ids.
inline constexpr int kOpenTextLibrary = 40001;
inline constexpr int kOpenPartListFile = 40002;
inline constexpr int kOpenPreSrcFile = 40020;
inline constexpr int kLayoutInDxf = 40004;
inline constexpr int kExportParts = 40014;
inline constexpr int kShowPackingKit = 40016;
inline constexpr int kShowRenewDialog = 40003;
inline constexpr int kBlackBackground = 40005;
inline constexpr int kWhiteBackground = 40006;
inline constexpr int kPackingPointsVisible = 40012;
inline constexpr int kOffsetPartsVisible = 40018;
// Items beside the classic menu.
inline constexpr int kUndo = 40101;
inline constexpr int kRedo = 40102;
inline constexpr int kFitAllParts = 40103;
inline constexpr int kOpenDrawings = 40104;
inline constexpr int kOptimise = 40105;
// Plate sets.
inline constexpr int kLayOutOnPlates = 40111;
inline constexpr int kLayOutOnPlatesInSteps = 40112;
inline constexpr int kMoveToNextPlate = 40113;
inline constexpr int kSaveLayouts = 40114;
inline constexpr int kNextPlate = 40115;
inline constexpr int kPreviousPlate = 40116;

// Packing Kit button ids.
inline constexpr int kKitOk = 1;
inline constexpr int kKitCancel = 2;
inline constexpr int kKitPan = 1006;
inline constexpr int kKitZoom = 1007;
inline constexpr int kKitFitAll = 1008;
inline constexpr int kKitSelectParts = 1009;
inline constexpr int kKitMoveParts = 1012;
inline constexpr int kKitRotateParts = 1013;
inline constexpr int kKitMoveChecked = 1014;
inline constexpr int kKitContactLeft = 1015;
inline constexpr int kKitContactRight = 1016;
inline constexpr int kKitContactUp = 1017;
inline constexpr int kKitContactDown = 1019;
inline constexpr int kKitLayout = 1020;
inline constexpr int kKitSelectAll = 1021;
inline constexpr int kKitLayoutAll = 1022;
inline constexpr int kKitSelectNone = 1023;
inline constexpr int kKitPackingReport = 1024;
inline constexpr int kKitLayoutInDxf = 1025;
inline constexpr int kKitLayoutNext = 1026;
inline constexpr int kKitLayoutMultipleSteps = 1027;

// "Renew RN&PPD" ids.
inline constexpr int kRenewOk = 1;
inline constexpr int kRenewCancel = 2;
inline constexpr int kRenewDistance = 1000;
inline constexpr int kRenewRotationNumber = 1004;

}  // namespace tarn

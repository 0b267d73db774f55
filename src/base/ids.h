// Control and command identifiers: one table each.
#pragma once

namespace lumiseek {

namespace ctl {
constexpr int SearchBox = 500;
constexpr int ResultsList = 501;
constexpr int Toolbar = 502;
constexpr int StatusBar = 503;
constexpr int Preview = 504;
}  // namespace ctl

namespace cmd {
constexpr int Enter = 1;
constexpr int PreviewClick = 504;
constexpr int SearchFiles = 505;
constexpr int SearchFolders = 506;
constexpr int SearchAll = 507;
constexpr int SearchCustom = 508;
constexpr int ChangeColors = 509;
constexpr int CopySelectedFile = 510;
constexpr int OpenFile = 511;
constexpr int OpenFolder = 512;
constexpr int ExpandFolder = 513;
constexpr int ExpandParentFolder = 514;
constexpr int ShowSettingsList = 515;
constexpr int PrintButton = 516;
constexpr int Exit = 517;
constexpr int NextMenu = 518;
constexpr int SelectAll = 519;
constexpr int CopySearchTerm = 520;
constexpr int Cut = 521;
constexpr int Paste = 522;
constexpr int ClearSearchTerm = 523;
constexpr int SpeakName = 524;
constexpr int SpeakFolder = 525;
constexpr int SpeakDate = 526;
constexpr int SpeakFileSize = 527;
constexpr int HideToolbarText = 528;
constexpr int SpeakSearchTerm = 529;
constexpr int SpellSearchTerm = 530;
constexpr int SpellName = 531;
constexpr int SpeakLetters = 532;
constexpr int SortType = 533;
constexpr int MaxResults = 534;
constexpr int PrintResults = 535;
constexpr int ShowToolbar = 536;
constexpr int IconSize = 537;
constexpr int ExcludeSystemFolders = 538;
constexpr int Escape = 539;
constexpr int FitToContent = 540;
constexpr int UseIgnoreList = 541;
constexpr int UseMagnor = 542;
constexpr int ToolbarHover = 543;
constexpr int VisualPrintFont = 544;
constexpr int FocusOnSearchTerm = 545;
constexpr int DisplayActionsList = 546;
constexpr int OpenEverything = 547;
constexpr int FolderShortPath = 548;
constexpr int EnableToolTips = 549;
constexpr int ShowTimeInDate = 550;
constexpr int FormatAsKB = 551;
constexpr int MaxPrintLines = 552;
constexpr int UpdateLumiseek = 553;
constexpr int SpeechSpeed = 554;
constexpr int JumpToFolder = 555;
constexpr int SpeakLocation = 556;
constexpr int IncreaseFontSize = 557;
constexpr int DecreaseFontSize = 558;
constexpr int CopyResults = 559;
constexpr int ShowSettings = 560;
constexpr int TogglePreview = 561;
constexpr int PreviewResize = 562;
constexpr int SpeakShortcuts = 563;
constexpr int WideToolbar = 564;
constexpr int IncludeShortcutKey = 565;
constexpr int SpeakMinimalKey = 566;
constexpr int ImageBGColor = 567;
constexpr int MuteSpeakers = 568;
constexpr int Louder = 569;
constexpr int Softer = 570;
constexpr int DisableSpeech = 571;
}  // namespace cmd

// Private message of the main window: the deferred start-up step.
constexpr unsigned kDeferredInit = 0x0400 + 500;  // WM_USER + 500
constexpr unsigned kPreviewTimer = 504;           // the main window's timer for the preview

}  // namespace lumiseek

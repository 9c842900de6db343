#pragma once
// The catalogue texts the program uses (resources/texts.tsv), by name: each
// with its number and, so that a reader need not open the catalogue, its
// English text, which tst_textids holds against the catalogue's. Code looks a
// text up by its name, `TableText(program, Text::ReadButton)`; a bare number
// does not compile there. A block of texts that follow one another (the four
// tabs, the four grid headers) is reached from its first by adding the index.
//
// A new text gets its catalogue row (all four languages) and a line here.

struct TextNumber {
    constexpr explicit TextNumber(int number) : value(number) {}
    constexpr TextNumber operator+(int offset) const { return TextNumber(value + offset); }
    friend constexpr auto operator<=>(const TextNumber&, const TextNumber&) = default;
    int value;
};

// X(name, number, English text)
#define VARDELO_TEXTS(X) \
    /* the language window */ \
    X(SelectLanguage, 101, "Select language") \
    X(LanguageOk, 102, "OK") \
    /* the main window: caption, menus, panels */ \
    X(MainWindowTitle, 103, "QLV VARDELO  download progam    Ver 1.2  (stand alone)") \
    X(FileMenu, 104, "&File") \
    X(LoadItem, 105, "&Load") \
    X(ExitItem, 106, "&Exit") \
    X(VardeloMenu, 107, "&VARDELO") \
    X(ReadItem, 108, "&Read VARDELO") \
    X(WriteItem, 109, "&Write VARDELO") \
    X(ResetItem, 110, "R&eset VARDELO") \
    X(ReadStateFrame, 111, "Read VARDELO") \
    X(InterfaceItem, 112, "&Interface") \
    X(IdentificationFrame, 113, "Software identification") \
    X(WritePanelFrame, 114, "    VARDELO write sequence ") \
    X(WriteFileButton, 115, "Write file in VARDELO") \
    X(WriteCancelButton, 116, "Cancel") \
    X(SelectedFileFrame, 117, "Selected file") \
    X(SendProgressFrame, 118, "Write VARDELO") \
    X(ReplyProgressFrame, 119, "Read VARDELO") \
    X(ReadPanelFrame, 120, "VARDELO read sequence") \
    X(ReadButton, 121, "Read VARDELO") \
    X(ReadCancelButton, 122, "Cancel") \
    X(ConnectionCheck, 123, "Connection") \
    X(PasswordCheck, 124, "Password") \
    X(FinishedCheck, 125, "Finished") \
    X(HelpMenu, 134, "&Help") \
    /* the main window: messages and file dialogs */ \
    X(NoFileSelected, 126, "No VARDELO file selected") \
    X(LoadRefusedTitle, 127, "  Caution!") \
    X(NoIdentification, 128, "No identification") \
    X(BothPortsOccupied, 129, "Both serial interfaces (com1/com2) occupied") \
    X(StartUpTitle, 130, "  Caution!") \
    X(LoadFileName, 131, "VARDELO") \
    X(LoadFileFilter, 132, "VARDELO files|*.QLV|Comments|*.BGT|(all files)|*.*") \
    X(LoadFileTitle, 133, "Select file for loading") \
    X(MustReadFirst, 135, "VARDELO must first be read") \
    X(MustReadFirstTitle, 136, "  Caution!") \
    X(WriteFileName, 137, "VARDELO") \
    X(WriteFileFilter, 138, "VARDELO files|*.QLV|Comments|*.BGT|(all files)|*.*") \
    X(WriteFileTitle, 139, "Select file for writing") \
    X(TransmissionError, 141, "Password/transmission error") \
    X(TransmissionErrorTitle, 142, "  Caution!") \
    X(NoConnection, 143, "No connection to VARDELO") \
    X(NoConnectionTitle, 144, "  Caution!") \
    X(ComparisonError, 145, "Read VARDELO comparison error again") \
    X(ComparisonErrorTitle, 146, "  Caution!") \
    X(EditLoadedFile, 147, "Edit loaded file?") \
    X(EditLoadedFileTitle, 148, " VARDELO") \
    X(Programmed, 149, "VARDELO programmed successfully") \
    X(ProgrammedTitle, 150, "  Caution!") \
    /* the row dialog of a list */ \
    X(RowEditTitle, 151, "Modify data") \
    X(DataStringFrame, 152, "Data string") \
    X(CommentFrame, 153, "Comment") \
    X(RowEditCancel, 154, "Cancel") \
    X(RowEditOk, 155, "OK") \
    X(DataStringTooShort, 156, "Data string too short") \
    X(DataStringTooShortTitle, 157, " Caution!") \
    /* the display-line dialog */ \
    X(DisplayLineTitle, 158, "Modify display line") \
    X(DisplayLineCancel, 159, "Cancel") \
    X(DisplayLineOk, 160, " OK") \
    /* the interface dialog (com3..com8 stand apart, at 268..273) */ \
    X(InterfaceTitle, 161, "Select serial interface") \
    X(Com1, 162, "com1:") \
    X(Com2, 163, "com2:") \
    X(InterfaceOk, 164, "OK") \
    X(PortBusy, 165, "Serial interface occupied") \
    X(PortBusyTitle, 166, "  Caution!") \
    X(Com3, 268, "com3:") \
    X(Com4, 269, "com4:") \
    X(Com5, 270, "com5:") \
    X(Com6, 271, "com6:") \
    X(Com7, 272, "com7:") \
    X(Com8, 273, "com8:") \
    /* the password dialog */ \
    X(PasswordTitle, 167, "Enter password from VARDELO") \
    X(PasswordDigitsFrame, 168, "6 numbers") \
    X(PasswordOk, 169, "OK") \
    X(PasswordCancel, 170, "Cancel") \
    X(PasswordTooShort, 171, "Password too short") \
    X(PasswordTooShortTitle, 172, "  Caution!") \
    /* the editor: caption, file menu, the four tabs (180..183), the basic settings panel */ \
    X(EditorTitle, 173, "VARDELO.QLV") \
    X(EditorFileMenu, 174, "&File") \
    X(SaveItem, 175, "&Save") \
    X(SaveAsItem, 176, "Sa&ve as") \
    X(PrintItem, 177, "&Print") \
    X(PrintAllItem, 178, "Print &all") \
    X(EditorExitItem, 179, "&Exit") \
    X(BasicSettingsTab, 180, "Basic settings") \
    X(SecondsLabel, 185, "Seconds") \
    X(YesOption, 187, "Yes") \
    X(NoOption, 188, "No") \
    /* the editor: list grids, display texts, print items; the four grids' headers are 202..205 as */ \
    /* the window opens and 258..261 once a list was read, the print items 254..257 one for each tab */ \
    X(OpeningGridHeader1, 202, "Privileges track 2                   |" \
                               "Comment                                        ") \
    X(DisplayTextFrame, 206, "Display text") \
    X(OpeningPrintItem, 207, "&Print basic settings") \
    X(PrintBasicSettingsItem, 254, "&Print basic settings") \
    X(GridHeader1, 258, "Privileges track 2                   |" \
                        "Comment                                        ") \
    X(ListCapacity, 262, "Number (max.) ") \
    /* the editor: messages and the save-as dialog */ \
    X(AskToSave, 209, "Save file?") \
    X(AskToSaveTitle, 210, " Changes have been made") \
    X(SaveAsFileName, 242, "VARDELO") \
    X(SaveAsFilter, 243, "VARDELO files|*.QLV|all files)|*.*") \
    X(SaveAsTitle, 244, "Save file as") \
    X(DiskFull, 246, "Diskette full, file cannot be used!") \
    X(SaveFailedTitle, 247, " Caution!") \
    X(CardDataLostWhenChanging, 248, "All card data will be lost when changing") \
    X(CardDataLostWhenChangingTitle, 249, "  Caution!") \
    X(CardDataLost, 250, "All card data will be lost") \
    X(CardDataLostTitle, 251, "  Caution!") \
    X(OneTrackOnly, 252, "Only one track can be deactivated") \
    X(EditorCautionTitle, 253, "  Caution!") \
    X(OverwriteQuestionStart, 266, "Existing file ") \
    X(OverwriteQuestionEnd, 267, " overwrite?") \
    /* the printed report */ \
    X(ReportListHead, 208, "List of VARDELO files       ") \
    X(ReportPrivilegesTrack2, 211, "Privileges track 2:") \
    X(ReportPrivilegesTrack3, 212, "Privileges track 3:") \
    X(ReportBlockListsTrack2, 213, "Block lists track 2:") \
    X(ReportBlockListHead, 214, "List of VARDELO files       ") \
    X(ReportBlockListsTrack3, 215, "Block lists track 3:") \
    X(ReportDisplayTexts, 216, "Display texts:") \
    X(ReportDisplayText, 217, "Display text") \
    X(ReportBasicSettings, 218, "Basic settings:") \
    X(ReportSeconds, 220, " seconds") \
    X(ReportYes, 221, "Yes") \
    X(ReportNo, 222, "No") \
    X(ReportProducedFor, 237, "File produced for customers: ") \
    X(ReportProducedBy, 238, "File produced by company: ") \
    X(ReportProducedOn, 239, "File produced on (date): ") \
    X(ReportSoftwareVersion, 240, "Software version of VARDELO: ") \
    X(ReportNoFurtherData, 241, "No further data") \
    X(ReportPage, 263, "- Page ") \
    /* a configuration that cannot be sent, read, opened or saved */ \
    X(ValueOutOfRange, 280, "The configuration holds the value %2 in slot %1 (allowed 0..255) and is not written") \
    X(ReadFileNotWritten, 281, "The configuration read could not be saved; it can still be written to VARDELO.") \
    X(FileRefused, 290, "File is damaged or incomplete and is not opened: ") \
    X(SaveFailed, 291, "File could not be saved, the changes are not stored: ") \
    X(FileNotLoaded, 300, "The file is incomplete or damaged and was not loaded:") \
    /* progress on screen and on the command line */ \
    X(HintOpenPort, 310, "No port open: %1") \
    X(HintRead, 311, "Not read yet: %1") \
    X(HintWrite, 312, "Terminal read: you can write a file now (%1)") \
    X(HintReadAgain, 313, "Terminal programmed: read it again to check (%1)") \
    X(ProgressReading, 314, "Reading: %1 of %2 bytes, %3 s left") \
    X(ProgressSending, 315, "Sending: %1 of %2 bytes, %3 s left") \
    X(ProgressReplying, 316, "Reply: %1 of %2 bytes received, %3 s left") \
    X(ProgressResetting, 317, "Giving the reset pulse") \
    X(HintReadAfterReset, 527, "Reset pulse sent to VARDELO: read it again before the next write (%1)") \
    X(PleaseWait, 526, "Please wait") \
    /* read history, transfer log, changes against the last read */ \
    X(ReadStoredElsewhere, 340, "The read was saved as %1; the existing files are left as they were (%2).") \
    X(ReadNotInHistory, 341, "The read is in %1, but no copy could be kept in the history (%2).") \
    X(TransferLogUnwritable, 342, "The transfer log cannot be written: %1. Reads and " \
                                  "writes go on; this message is shown only once.") \
    X(ChangeSummaryTitle, 343, "Changes in VARDELO against the last read") \
    X(NoChange, 344, "no change") \
    X(SettingsChanged, 345, "%1 basic setting(s) changed") \
    X(ListChanged, 346, "List %1: %2 card(s) added, %3 removed") \
    X(DisplayTextsChanged, 347, "%1 display text(s) changed") \
    X(OtherBytesChanged, 348, "%1 other byte(s) changed") \
    X(ChangeDetailsButton, 349, "Details...") \
    X(ChangeDetailsTitle, 350, "Changes in detail") \
    X(CommentsChanged, 351, "%1 comment(s) changed") \
    X(CardAdded, 352, "Card added to list %1") \
    X(CardRemoved, 353, "Card removed from list %1") \
    X(DisplayLineChanged, 354, "Display text %1, line %2") \
    X(CommentChanged, 355, "Comment in list %1, card %2") \
    X(ChangeDetailsClose, 356, "Close") \
    X(ChangeBefore, 357, "before") \
    X(ChangeAfter, 358, "after") \
    X(ChangeWhat, 359, "What") \
    /* card lists as CSV, search in the lists */ \
    X(ExportItem, 370, "Export card lists...") \
    X(ImportItem, 371, "Import card lists...") \
    X(ExportTitle, 372, "Export card lists") \
    X(ImportTitle, 373, "Import card lists") \
    X(CsvFilter, 374, "CSV files|*.csv|all files|*.*") \
    X(NotImportedTitle, 375, "Card lists not imported") \
    X(ImportBadLines, 376, "Nothing was changed. These lines of %1 cannot be taken:") \
    X(ImportBadLine, 377, "line %1: %2") \
    X(ImportMoreBadLines, 378, "... and %1 more lines") \
    X(CsvBrokenQuotes, 379, "the quotes do not follow the CSV rules") \
    X(CsvTooFewColumns, 380, "too few columns: %1 expected, %2 found") \
    X(CsvUnknownList, 381, "unknown list \"%1\" (1 to 4)") \
    X(CsvListNotInUse, 382, "list %1 is not in use with the current basic settings") \
    X(CsvBadCharacter, 383, "card \"%1\" holds \"%2\"; allowed are 0-9 : ; < = > ? #") \
    X(CsvWrongLength, 384, "%1 digits expected, %2 found") \
    X(CsvOnlyZeros, 385, "card \"%1\" is all zeros: that is an empty place, not a card") \
    X(CsvTooManyCards, 386, "more cards than list %1 has rows (%2)") \
    X(CsvDuplicateCard, 387, "card %1 is already in list %2 (line %3)") \
    X(CsvCommentNotStorable, 388, "the comment holds \"%1\", which the comments file cannot store") \
    X(ImportNotText, 389, "The file is neither UTF-8 nor Windows-1252 text and is not imported: ") \
    X(ImportNoHeader, 390, "The header line does not name the columns " \
                           "\"list\" and \"card\"; nothing was imported: ") \
    X(ImportNoCards, 391, "The file holds no cards; nothing was changed: ") \
    X(ImportUnreadable, 392, "The file cannot be read: ") \
    X(ExportFailed, 393, "The card lists could not be exported: ") \
    X(ImportMixedCharacterSets, 519, "The file is UTF-8 (by its byte order mark or other lines), " \
                                     "but line %1 is not; nothing was imported: %2") \
    X(ImportUndefinedByte, 520, "Line %1 holds a byte that is neither UTF-8 " \
                                "nor Windows-1252; nothing was imported: %2") \
    X(SearchMenu, 394, "&Search") \
    X(FindItem, 395, "Find in lists...") \
    X(FindNextItem, 396, "Find next") \
    X(FindPreviousItem, 397, "Find previous") \
    X(NotFound, 398, "not found") \
    X(FindPlaceholder, 399, "Card or comment") \
    /* serial ports: why a port did not open, what a com port stands for */ \
    X(PortDoesNotExist, 400, "%1 does not exist") \
    X(PortsDetected, 401, "detected ports: %1") \
    X(PortJoinGroup, 402, "%1 may only be opened by the group %2: add your user " \
                          "to it (sudo usermod -aG %2 %3) and log in again") \
    X(PortNotAllowed, 403, "%1 may not be opened by your user (permission denied)") \
    X(PortInUse, 404, "%1 is in use by another program") \
    X(PortIsFile, 405, "%1 is a file, not a serial device") \
    X(PortIsFolder, 406, "%1 is a folder, not a serial device") \
    X(PortNotADevice, 407, "%1 is not a serial device") \
    X(PortNoHardware, 408, "%1 is only a placeholder of the system: there is no hardware behind it") \
    X(SimulatedTerminal, 409, "simulated terminal") \
    X(PortNotPresent, 410, "not present") \
    X(PortPlaceholder, 411, "placeholder without hardware") \
    X(SimulationSettingUnusable, 521, "Setting of the simulated terminal cannot be used:") \
    /* special and damaged files, the simulated terminal's memory, passwords */ \
    X(FileNotRegular, 420, "%1 is not a regular file (a FIFO, a device or the like) and is not used") \
    X(FileIsFolder, 421, "%1 is a folder, not a file") \
    X(FileLinkToNothing, 422, "%1 is a link to nothing") \
    X(FilePermissionDenied, 423, "%1: permission denied") \
    X(FileTooLarge, 424, "%1 is too large and is not read") \
    X(FileMissing, 425, "%1 does not exist") \
    X(FileUnreadable, 426, "%1 cannot be read") \
    X(ExistingFileKept, 427, "The existing file %1 was kept.") \
    X(SimulationNotStored, 428, "The simulated terminal could not store what was written and does not reply:") \
    X(SimulationMemoryFile, 429, "Memory file of the simulated terminal cannot be used:") \
    X(PasswordPrompt, 430, "VARDELO password: ") \
    X(NotUsedAtStartUp, 431, "Not used at start-up, the defaults apply:") \
    X(CommentsNotRead, 432, "Comments not read:") \
    X(CommentsTooFewLines, 515, "%1 is damaged: only %2 lines, too few for the texts in it") \
    X(CommentsTooManyLines, 516, "%1 is damaged: text beyond its last line, from line %2 on") \
    X(CommentsKeptInHistory, 517, "The file is kept in history/ when a new comments file takes its place.") \
    X(PasswordFileReadable, 522, "Warning: %1 may be read by other users too (permissions %2); the " \
                                 "password is used all the same. Protect it with: chmod 600 %1") \
    /* sites: why a site file cannot be used, a terminal left out of a run */ \
    X(SiteFileRefused, 440, "The site file %1 cannot be used; no terminal was touched:") \
    X(SiteSyntaxError, 441, "syntax error at column %1: %2") \
    X(SiteUnknownKey, 442, "unknown key \"%1\" (known here: %2)") \
    X(SiteValueNotText, 443, "\"%1\" must be a text in quotes") \
    X(SiteTerminalsNotTables, 444, "terminals are written as [[terminal]] tables") \
    X(SiteNoTerminals, 445, "the site file names no terminal ([[terminal]])") \
    X(SiteMissingKey, 446, "the terminal has no \"%1\"") \
    X(SiteNameNotFolder, 447, "the name \"%1\" cannot be a folder name on every system: no / \\ : * ? \" < > |, " \
                              "no control or invisible characters, no blank or dot at either end, no device name " \
                              "such as CON, NUL, COM1 or LPT1, at most %2 characters") \
    X(SiteDuplicateName, 448, "the name \"%1\" is already that of the terminal on line %2 (letter case aside)") \
    X(SiteBadPort, 449, "port \"%1\" is none of com1 to com8, a device path (/dev/...), sim[:FILE][,OPTION...] " \
                        "or rfc2217://HOST:PORT") \
    X(SiteDuplicatePort, 450, "port \"%1\" is already that of terminal \"%2\" (line %3)") \
    X(SiteTwoPasswordSources, 451, "password-file and password-env are both given: name one source of the " \
                                   "password") \
    X(SiteEmptyValue, 452, "\"%1\" is empty") \
    X(SiteBadVariableName, 453, "\"%1\" is no environment variable name (letters, digits and _, not beginning " \
                                "with a digit)") \
    X(SiteNotConfigurationFile, 454, "configuration \"%1\" is not a .QLV file") \
    X(SiteFolderTaken, 455, "the folder of terminal \"%1\" would have the name of the file %2") \
    X(SiteBadName, 456, "the site name \"%1\" holds a control character") \
    X(SitePasswordVariableUnset, 457, "password-env: the environment variable %1 is not set") \
    X(SitePasswordMalformed, 458, "the password from %1 must be six digits, or X and a text of 6 to 8 characters") \
    X(SiteStopped, 459, "Stopped: nothing was written into the terminal") \
    /* the site window (its identification column is IdentificationFrame, its Close ChangeDetailsClose); */ \
    /* the state words follow SiteResult's order */ \
    X(SiteItem, 460, "&Site...") \
    X(SiteOpenTitle, 461, "Open site file") \
    X(SiteFileFilter, 462, "Site files|*.toml|all files|*.*") \
    X(SiteWindowTitle, 463, "Site: %1") \
    X(SiteNameColumn, 464, "Name") \
    X(SitePortColumn, 465, "Port") \
    X(SiteLastReadColumn, 466, "Last read") \
    X(SiteLastWriteColumn, 467, "Last write") \
    X(SiteStateColumn, 468, "State") \
    X(SiteErrorColumn, 469, "Last error") \
    X(SiteReadButton, 470, "&Read") \
    X(SiteCompareButton, 471, "&Compare") \
    X(SiteWriteButton, 472, "&Write") \
    X(SiteStopButton, 473, "&Stop") \
    X(SiteWriteQuestion, 474, "Write the configuration into %1 terminal(s)? Each is read first and written only " \
                              "where it differs.") \
    X(SiteStateWords, 475, "ok|failed|equal|differs|skipped|unknown") \
    X(SiteRunning, 476, "%1 of %2 terminals done") \
    /* the site window's plan and apply from the directory of card holders; */ \
    /* the controls' words in the order of SitePlanWord */ \
    X(SitePlanWords, 477, "Directory of card holders:|C&hoose...|&Day:|&Plan|&Apply|none chosen") \
    X(SiteDirectoryOpenTitle, 478, "Open directory of card holders") \
    X(SiteApplyQuestion, 479, "Apply the plan? The configuration files of %1 terminal(s) change (each replaced " \
                              "file is kept in history/), then %2 terminal(s) are read and written where they " \
                              "differ.") \
    X(SitePlanChanged, 518, "The plan is no longer the one shown: the directory or a configuration file changed. " \
                            "Here is the plan as it is now; nothing was applied.") \
    X(SitePlanHeading, 523, "Plan for %1 from %2") \
    X(SiteAppliedHeading, 524, "Applied for %1 from %2") \
    X(SiteSharedConfigurationDiffers, 525, "%1 is not changed: its configuration file %2 is also that of %3, and " \
                                           "the directory gives them different cards") \
    /* the directory of card holders: why it is refused, its bad rows (with CsvBrokenQuotes, CsvTooFewColumns) */ \
    X(DirectoryNotText, 480, "The directory %1 is neither UTF-8 nor Windows-1252 text; nothing was changed.") \
    X(DirectoryMixedCharacterSets, 481, "The directory %1 is UTF-8 (by its byte order mark or other lines), but " \
                                        "line %2 is not; nothing was changed.") \
    X(DirectoryUndefinedByte, 482, "Line %2 of the directory %1 holds a byte that is neither UTF-8 nor " \
                                   "Windows-1252; nothing was changed.") \
    X(DirectoryNoHeader, 483, "The header line of the directory %1 lacks the columns %2; nothing was changed.") \
    X(DirectoryNoCards, 484, "The directory %1 holds no cards; nothing was changed.") \
    X(DirectoryTooManyColumns, 485, "%2 columns, but the header has %1: a separator in a cell without quotes?") \
    X(DirectoryNoHolder, 486, "the name is empty") \
    X(DirectoryHolderNotStorable, 487, "the name holds \"%1\", which the comments file cannot store") \
    X(DirectoryNoCard, 488, "neither track2 nor track3 gives a card") \
    X(DirectoryBadCharacter, 489, "%1 \"%2\" holds \"%3\"; allowed are 0-9 : ; < = > ? #") \
    X(DirectoryOnlyZeros, 490, "%1 \"%2\" is all zeros: that is an empty place, not a card") \
    X(DirectoryBadDate, 491, "%1 \"%2\" is no date of the form YYYY-MM-DD") \
    X(DirectoryUntilBeforeFrom, 492, "valid_until %2 is before valid_from %1") \
    X(DirectoryUnknownTerminal, 493, "the site has no terminal \"%1\"") \
    X(DirectoryAllBesideNames, 494, "\"*\" stands for all terminals and cannot stand beside names") \
    X(DirectoryBadBlocked, 495, "blocked \"%1\" is neither yes nor no") \
    X(DirectoryOtherHolder, 496, "%1 card %2 is already that of \"%3\" (line %4)") \
    X(DirectoryBlockedDiffers, 497, "%1 card %2 is blocked on one line and not on the other (line %3)") \
    /* the plan made of the directory, and where the terminals disagree about a card */ \
    X(PlanAdd, 498, "%1, %2: add %3 \"%4\"") \
    X(PlanRemove, 499, "%1, %2: remove %3 \"%4\"") \
    X(PlanRename, 500, "%1, %2: the comment of %3 becomes \"%5\" (was \"%4\")") \
    X(PlanExpires, 501, "%1, %2: %3 \"%4\" expires after %5") \
    X(PlanOverflow, 502, "%1, %2: %3 cards for %4 places, %5 too many") \
    X(PlanNotApplied, 503, "%1 is not changed: a list would overflow") \
    X(PlanWrongLength, 504, "%1: line %2 is not taken: %3 card %4 of \"%5\" has %6 digits, the terminal reads %7") \
    X(PlanTracksNotRead, 505, "%1: line %2 (\"%3\") is not taken: the terminal reads none of its tracks") \
    X(PlanNameCut, 506, "line %1: the name \"%2\" is cut to \"%3\": a comment holds %4 characters") \
    X(PlanNoChange, 507, "%1: no change") \
    X(DirectoryCommentsDiffer, 508, "%1 card %2 has the comment \"%3\" on %4 and \"%5\" on %6; the directory " \
                                    "names \"%3\"") \
    X(DirectoryNotBlockedEverywhere, 509, "%1 card %2 (\"%3\") is blocked on %4 but not on %5; the directory " \
                                          "blocks it on every terminal") \
    /* the editor: what save, export and import did, refused entries, the print preview */ \
    X(Saved, 510, "Saved: %1 (%2 card(s))") \
    X(Exported, 511, "Exported: %1 (%2 card(s))") \
    X(Imported, 512, "Imported from %1: %2 card(s), not saved yet") \
    X(DataLengthRefused, 513, "The data length must be 1 to %1 digits; it stays %2.") \
    X(DisplayLineUnstorable, 514, "The display line cannot store these characters: %1") \
    X(PrintPreviewItem, 528, "Print preview...") \
    /* terminals on the network (%1 the address, rfc2217://HOST:PORT, unless told otherwise): why one cannot be */ \
    /* reached, the status bar, the interface dialog, and the simulated terminal served by simulate --listen */ \
    X(NetworkNotAnAddress, 530, "%1 is not a network address of the form rfc2217://HOST:PORT") \
    X(NetworkUnknownHost, 531, "%1: unknown host \"%2\"") \
    X(NetworkRefused, 532, "%1: connection refused, no server listens on port %2") \
    X(NetworkNoAnswer, 533, "%1: no answer within %2 s") \
    X(NetworkNoComPortControl, 534, "%1: the server does not set up COM port control (RFC 2217) within %2 s") \
    X(NetworkComPortRefused, 535, "%1: the server refuses COM port control (RFC 2217); the terminal cannot be " \
                                  "driven without DTR and RTS") \
    X(NetworkSettingsRefused, 536, "%1: the server does not take 2400 baud, 8 data bits, no parity, 1 stop bit (%2)") \
    X(NetworkControlNotDriven, 537, "%1: the server does not drive the control line %2; the terminal cannot be " \
                                    "driven without DTR and RTS") \
    X(NetworkClosedBeforeSetUp, 538, "%1: the server closed the connection before it was set up") \
    X(NetworkConnectionLost, 539, "%1: connection lost") \
    X(NetworkKeepsDropping, 540, "%1: the connection keeps dropping as soon as it is set up") \
    X(NetworkConnecting, 541, "Connecting to %1 ...") \
    X(NetworkConnected, 542, "Connected to %1, round trip %2 ms") \
    X(NetworkTerminal, 543, "terminal on the network") \
    X(NetworkAddressCaption, 544, "Network address (rfc2217://HOST:PORT):") \
    X(ServedSimulation, 545, "Simulated terminal (%1) served at rfc2217://%2; stop with Ctrl+C") \
    X(ServedClientConnected, 546, "%1 connected") \
    X(ServedClientDisconnected, 547, "%1 disconnected") \
    X(ServedClientRefused, 548, "%1 refused: the terminal is serving %2") \
    X(CannotServeSimulation, 549, "The simulated terminal cannot be served at %1: %2")

namespace Text {
#define VARDELO_TEXT_NAME(name, number, english) inline constexpr TextNumber name{number};
VARDELO_TEXTS(VARDELO_TEXT_NAME)
#undef VARDELO_TEXT_NAME
}

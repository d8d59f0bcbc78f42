#pragma once

// The string numbers the code asks the language tables for (lang/*.tsv), named after what the
// English text says. Controls and commands without a string of their own take string
// (identifier + kCaptionOffset) and are not listed here.

namespace velnor::text {

// The program
inline constexpr int AboutMenuItem = 8000; // left out when the pack leaves it empty
inline constexpr int AlreadyRunning = 8001;
inline constexpr int AboutTitle = 9126;
inline constexpr int AboutText = 9127;
inline constexpr int AboutNotice = 9128;
inline constexpr int AboutVersion = 9129; // "Version %s" with the release number

// The PIN
inline constexpr int NoPinSetUp = 8002;
inline constexpr int WrongPin = 8003;
inline constexpr int PinStateConflict = 8004;
inline constexpr int FileInvalidationConflict = 8005;
inline constexpr int PinNowBlocked = 8006;
inline constexpr int PinOperationRefused = 8007;
inline constexpr int PinCaption = 8008;
inline constexpr int PinSwitchedOn = 8042;
inline constexpr int PinSwitchedOff = 8043;
inline constexpr int PinChanged = 8044;
inline constexpr int PinUnblocked = 8079;
inline constexpr int UnblockPinQuestion = 8080;
inline constexpr int PinDigits = 9010; // how many digits a PIN and a PUK have
inline constexpr int EnterPinTitle = 9111;
inline constexpr int SwitchPinTitle = 9112;
inline constexpr int ChangePinTitle = 9113;
inline constexpr int UnblockPinTitle = 9114;
inline constexpr int PinLabel = 9115;
inline constexpr int CurrentPinLabel = 9116;
inline constexpr int NewPinLabel = 9117;
inline constexpr int NewPinAgainLabel = 9118;
inline constexpr int PukLabel = 9119;
inline constexpr int AttemptsLeft = 9120;
inline constexpr int PukAttemptsLeft = 9121;
inline constexpr int PinNeededToRead = 9122;

// The status bar: the panes' tool tips in pane order, then what the panes show
inline constexpr int ReaderPaneTip = 8010;
inline constexpr int CardPaneTip = 8011;
inline constexpr int ContentsPaneTip = 8012;
inline constexpr int NoReaderFound = 8026;
inline constexpr int PcscdNotRunning = 9130; // how to start it, in place of NoReaderFound
inline constexpr int NoSimFunction = 8027;
inline constexpr int ReaderReady = 8028;
inline constexpr int CardPresent = 8029; // "Card %s" with the card's identity
inline constexpr int NoCard = 8030;
inline constexpr int ReadingRecord = 8009;
inline constexpr int EntriesRead = 8022;
inline constexpr int EntriesTaken = 8025;
inline constexpr int WritingRecord = 8031;
inline constexpr int RecordsWritten = 8032;
inline constexpr int WritingMessageRecord = 8040;
inline constexpr int MessageRecordsWritten = 8041;
inline constexpr int MessagesRead = 8056;

// The lists' column headings, in column order
inline constexpr int PhonebookNoColumn = 8013;
inline constexpr int PhonebookNameColumn = 8014;
inline constexpr int PhonebookNumberColumn = 8015;
inline constexpr int PhonebookEmailColumn = 9150;
inline constexpr int PhonebookAdditionalNumberColumn = 9151;
inline constexpr int PhonebookSecondNameColumn = 9152;
inline constexpr int EmailLabel = 9153;
inline constexpr int AdditionalNumberLabel = 9154;
inline constexpr int SecondNameLabel = 9155;
inline constexpr int AdditionalNumberDoesNotFit = 9156;
inline constexpr int SecondNameDoesNotFit = 9157;
// What kind of card the card pane names (base/CardLink.h, CardKind), and how it is joined to the
// pane's text.
inline constexpr int CardKindGsmSim = 9158;
inline constexpr int CardKindUiccWithUsim = 9159;
inline constexpr int CardKindUsimOnly = 9160;
inline constexpr int CardWithKind = 9161; // "%1$s (%2$s)": the card pane's text, the kind
inline constexpr int MessageNoColumn = 8016;
inline constexpr int MessageStatusColumn = 8017;
inline constexpr int MessageNumberColumn = 8018;
inline constexpr int MessageTimeColumn = 8019;
inline constexpr int MessageTextColumn = 8020;

// A message's status, in this order
inline constexpr int MessageRead = 8035;
inline constexpr int MessageUnread = 8036;
inline constexpr int MessageSent = 8037;
inline constexpr int MessageNotSent = 8038;

// The window
inline constexpr int ConnectButton = 8045;
inline constexpr int DisconnectButton = 8046;
inline constexpr int ReadButton = 8047;
inline constexpr int WriteButton = 8048;
inline constexpr int PinButton = 8049;
inline constexpr int FileButton = 8050;
inline constexpr int PhonebookTab = 8051;
inline constexpr int MessagesTab = 8052;
inline constexpr int FileMenu = 9100;
inline constexpr int CardMenu = 9101;
inline constexpr int OptionsMenu = 9102;
inline constexpr int HelpMenu = 9103;
inline constexpr int LanguageMenu = 9104;
inline constexpr int TakeFromCard = 9105;
inline constexpr int CopyToCard = 9106;
inline constexpr int Cancel = 9107;
inline constexpr int Ok = 9108;
inline constexpr int Yes = 9109;
inline constexpr int No = 9110;
inline constexpr int CodePageLabel = 9140;
inline constexpr int DetectCodePage = 9141;

// Reading and writing the card
inline constexpr int CopyToLocalPhonebook = 8023;
inline constexpr int PhonebookCaption = 8024;
inline constexpr int WriteEntriesQuestion = 8033;
inline constexpr int EntriesChangedWhenWritten = 8034;
inline constexpr int FieldsNotWritten = 9170; // no file, no free record or too long
inline constexpr int WriteMessagesQuestion = 8039;
inline constexpr int PleaseWait = 8068;
inline constexpr int WorkingWithCard = 8069;
inline constexpr int MessagesChangedWhenWritten = 8070;
inline constexpr int CardFileNotAccessible = 8073;
inline constexpr int MessageParametersEmpty = 8074;
inline constexpr int OnlyFirstRowsWritten = 8076;
inline constexpr int ClearCardFileQuestion = 8077;
inline constexpr int CardFileProtected = 9001;
inline constexpr int SavingBackup = 9002;
inline constexpr int BackupNotSaved = 9003;
inline constexpr int RecordLogFailed = 9005;

// Files on this computer
inline constexpr int FileCaption = 8053;
inline constexpr int FileNotOpened = 8054;
inline constexpr int FileNotCreated = 8055;
inline constexpr int ReplaceFileQuestion = 8075;
inline constexpr int FileTooLarge = 9004;
inline constexpr int NoRowsImported = 9020;
inline constexpr int CodePageGuessed = 9021;
inline constexpr int CsvColumnsUnknown = 9040;
inline constexpr int ContactsWithoutNumber = 9041;
inline constexpr int ColumnChoiceTitle = 9042;
inline constexpr int NameColumnLabel = 9043;
inline constexpr int NumberColumnLabel = 9044;

// Phonebook entries and messages
inline constexpr int NumberTooLong = 8071;
inline constexpr int NameDoesNotFit = 8081;
inline constexpr int MessageTextTooLong = 8082;
inline constexpr int MisplacedPlus = 9022;
inline constexpr int PhonebookEntryTitle = 9123;
inline constexpr int NameLabel = 9124;
inline constexpr int EntryNumberLabel = 9125;
inline constexpr int MessageEditorTitle = 9200;
inline constexpr int MessageNumberLabel = 9201; // its control shares 1708 with another label
inline constexpr int CharactersLeft = 9202;
inline constexpr int RecipientNameHint = 9203;
// The preview of the selected message
inline constexpr int MessageFromLabel = 8564;
inline constexpr int MessageTimeLabel = 8566;
inline constexpr int MessageToLabel = 9204;
inline constexpr int MessageStatusLabel = 9205;

} // namespace velnor::text

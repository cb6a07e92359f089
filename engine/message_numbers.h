// The numbers of the catalogue entries (resources/messages.tsv) the code refers to, named by
// what the entry says. A new message gets its entry in the catalogue and its name here.
#pragma once

namespace msg {

// Unscoped, so that a name passes wherever a catalogue number (an int) is taken.
enum Entry : int {
  // ---- the program, its window and its views ----
  kProgramName = 1,              // Tressaly
  kLineReference = 2,            // Line %d.
  kAboutTitle = 8,               // Training program Tressaly
  kIntroduction = 20,            // Introduction
  kVariableCaption = 25,         // Variable
  kScriptTooLong = 27,           // Script is too long ... can't exceed %d.
  kCloseWithoutSaving = 29,      // Text of current script has been changed ... close ...?
  kScriptFunctionCaption = 36,   // Function, created in script text.
  kConstantCaption = 37,         // constant
  kGlobalVariables = 40,         // Global variables
  kLocalVariables = 42,          // Local variables
  kSynonymCaption = 86,          // Synonym:
  kExampleCaption = 87,          // Example
  kNamesColumn = 88,             // var.names
  kValuesColumn = 89,            // values
  kFunctionLevelColumn = 111,    // Function Level
  kArrayCaption = 148,           // Array
  kElementCount = 150,           // The number of elements: %d.
  kIncludeEndMissing = 173,      // End of "INCLUDE" block not found ...
  kNoExternalEditor = 180,       // The external text editor file is not specified ...
  kMissingDirectory = 208,       // Missing directory "%s" ...
  kEnterKeywords = 210,          // Enter keywords
  kFunctionReference = 221,      // Built-in functions reference.
  kSearchByKeywords = 230,       // Search by keywords
  kIntroductionItem = 247,       // Introduction (a module's first help item)
  kLaunchFromCommandLine = 248,  // Launch from the command line
  kSyntaxTutorial = 250,         // Tutorial for Syntax
  kAboutItem = 255,              // About Tressaly
  kInterfaceLanguage = 261,      // Interface language
  kEditorKind = 262,             // Editor Kind
  kUseInternalEditor = 264,      // Use internal editor
  kUseExternalEditor = 265,      // Use external editor
  kSpecifyExternalEditor = 266,  // Specify an external editor ...
  kReplaceCaption = 292,         // Replace
  kContinueCaption = 305,        // Continue
  kFindCaption = 318,            // Find
  kKeywordSearchHeading = 329,   // (empty: the keyword search's result starts with the keywords)
  kHelpAction = 337,             // Help

  // ---- lines, blocks and loops ----
  kIncorrectIndentInLine = 26,    // Incorrect indent %d in the line %d.
  kIndentError = 52,              // Error indent %d.
  kIfNeedsBoolean = 54,           // Operator <if> must be followed by boolean expression.
  kForNeedsLoopVariable = 55,     // Operator <for> must be followed by loop variable ...
  kLoopVariableNeedsEquals = 56,  // Loop variable identifier must be followed by =.
  kBadLoopStart = 57,             // Error in start value of loop variable ...
  kLoopStartNeedsComma = 58,      // Start value of loop variable must be followed by comma.
  kBadLoopFinal = 59,             // Error in final value of loop variable ...
  kBadLoopIncrement = 60,         // Error in increment value of the loop variable ...
  kOuterLoopVariable = 61,        // Identifier "%s" is external loop variable name.
  kTextAfterRepeat = 62,          // Operator <repeat> is followed by unexpected text.
  kBreakIfNeedsBoolean = 63,      // Operator <BreakIf> must be followed by boolean ...
  kContinueIfNeedsBoolean = 64,   // Operator <ContinueIf> must be followed by boolean ...
  kBreakIfOutsideLoop = 65,       // Only inside "REPEAT" ... <BreakIf> can be used.
  kContinueIfOutsideLoop = 66,    // Only inside "REPEAT" ... <ContinueIf> can be used.
  kForCounterError = 68,          // "FOR" counter value error in expression %s.
  kStructureError = 69,           // Error in the "%s" structure.

  // ---- words and expressions ----
  kTooComplicated = 45,          // Expression <%s is too complicated.
  kBracketMismatch = 47,         // Bracket mismatch.
  kParsingError = 49,            // Expression parsing error.
  kUnterminatedString = 70,      // Unterminated string: %s
  kInvalidNumber = 72,           // Invalid numeric value: %s
  kUnexpectedSymbol = 73,        // Unexpected symbol "%s" in "%s", position: %d.
  kFunctionNeedsBracket = 74,    // Function name "%s" must be followed by "(" ...
  kBracketAfterFunction = 75,    // Bracket mismatch after function name "%s".
  kUnrecognisedIdentifier = 76,  // Unrecognised identifier "%s".
  kBitOperandType = 83,          // Bit operator not applicable to this operand type "%s".
  kUnsupportedFunction = 90,     // Unrecognised function "%s" ... version does not support
  kNotAnArray = 92,              // Identifier "%s" is not described as an array.
  kVariableMisuse = 93,          // Incorrect use of variable "%s".
  kIncorrectExpression = 94,     // Incorrect expression in string: %s
  kUnknownFunction = 95,         // Unknown function name "%s".
  kOperatorMisuse = 97,          // Incorrect use of operator "%s".
  kInvalidDataType = 129,        // Invalid data type of the variable "%s".
  kConversionError = 130,        // Error converting string "%s" to number.
  kBracketBeforePower = 211,     // Bracket mismatch before power operator "%s".
  kBracketAfterRoot = 212,       // Bracket mismatch after root operator "%s".
  kAmbiguousPower = 213,         // Ambiguous exponentiation operator "%s".

  // ---- assignments and variables ----
  kInvalidRightSide = 77,       // Invalid expression "%s" in the right part of ...
  kArrayToVariable = 78,        // An array can't be assigned to simple variable
  kArrayToNonArray = 79,        // An array can only be assigned to another array
  kConstantAssigned = 80,       // Constant "%s" cannot be assigned to.
  kEmptyRightSide = 85,         // The right side of the assignment ... any value.
  kGlobalWithUnderscore = 125,  // Invalid global variable identifier "%s" ...
  kGlobalInFunctionBody = 131,  // It is forbidden to create a global variable "%s" ...

  // ---- script functions ----
  kScriptFunctionNotFound = 50,    // Function name "%s" wasn't found in script text.
  kParameterCountMismatch = 51,    // The number of formal and actual parameters ...
  kNestedScriptFunction = 82,      // The parameters of the script function "%s" cannot ...
  kFormalWithoutUnderscore = 126,  // Invalid formal parameters identifier "%s" ...
  kIncorrectFunctionExit = 127,    // Incorrect exit out of script function.
  kFormalParametersError = 128,    // Error in formal parameters of script function "%s".

  // ---- calls of library functions ----
  kInvalidNumericResult = 46,      // Function "%s" returned invalid numeric value.
  kIncorrectDate = 53,             // Incorrect date format "%s".
  kTooFewParameters = 81,          // Function "%s". The number of actual parameters (%d) ...
  kNegativeSquareRoot = 115,       // Function Sqrt() ... square root of a negative value
  kNegativeFractionalPower = 116,  // Function Pow() ... to a fractional power
  kParameterNotVariable = 117,     // ... Parameter of the function must be a variable ...
  kValueOutOfRange = 118,          // Function "%s". Parameter value "%s" is out of range.
  kParameterMustBeVariable = 119,  // ... Parameter № %d must be variable ...
  kTooManyParameters = 120,        // Function "%s". The number of parameters exceeds %d.
  kIncorrectParameters = 163,      // Incorrect parameters for calling the "%s" function.
  kJsonObjectNotFound = 178,       // JSON object "%s" wasn't found.
  kJsonInvalidFloat = 179,         // Invalid float value "%s" in JSON object "%s".

  // ---- arrays and matrices ----
  kTooManyArrays = 138,              // Maximum allowable amount of arrays %d.
  kArrayDescriptionError = 139,      // Array description error.
  kArrayNameError = 141,             // Array name error "%s".
  kArrayNameNeedsBracket = 142,      // Name of array %s must be followed by [.
  kArrayDimensionUnclosed = 143,     // Array dimension must be ended by ].
  kArrayNeedsDataType = 144,         // Description of the array "%s" must end with a type
  kTooManyDimensions = 145,          // Dimension of the array can't exceed 4.
  kCannotCreateArray = 146,          // Could not create the array "%s".
  kUnknownArray = 147,               // Unknown array name "%s".
  kArrayMustBeString = 149,          // The array "%s" must be string
  kElementNeedsBracket = 151,        // Array name "%s" must be followed by "[".
  kElementNeedsEquals = 152,         // Element of the array "%s" must be followed by "=".
  kIndexOutOfRange = 153,            // Index(-ices) of array "%s" out of range
  kInitialValuesError = 155,         // Error in structure of the array loadable values list.
  kMustBeTwoDimensional = 156,       // Array "%s" must be two-dimensional
  kMatrixSizesMismatch = 157,        // The number of rows of the first matrix ... must match.
  kMatrixNotSquare = 158,            // The first and second dimensions of "%s" must be equal.
  kSingularMatrix = 159,             // The determinant of the matrix "%s" is zero ...
  kIndexNotInteger = 161,            // Index of the array "%s" must be an integer value ...
  kTextAfterDataType = 162,          // The data type of the array may be followed by "=" ...
  kMustBeVectorOfThree = 164,        // Array "%s" must be one-dimensional length 3.
  kMustBeOneOrTwoDimensional = 165,  // Array "%s" must be two- or one-dimensional
  kColumnBeyondArray = 166,          // The second parameter ... should not exceed ... (%d).
  kColumnOfVector = 167,             // The second parameter ... for a one-dimensional array
  kArraySizesDiffer = 168,           // Arrays "%s" and "%s" must be the same size.
  kArrayMustBeFloat = 185,           // Array "%s" must have data type - "float".
  kParameterMustBeArray = 186,       // Parameter "%s" must be the array.

  // ---- files ----
  kInvalidFileName = 170,     // Invalid file name "%s" or no access.
  kUnintendedEncoding = 171,  // ... an unintended character encoding "%s" is specified.
  kInvalidExtension = 172,    // Invalid file extension "%s".
  kReadPastEnd = 183,         // Start reading position "%d" exceeds size of file "%s".
  kWritePastEnd = 184,        // Start written position "%d" exceeds size of file "%s".

  // ---- graphics ----
  kGraphicsRangesTooSmall = 175,  // ... coordinate ranges must exceed 50.
  kScalingModeOutOfRange = 176,   // ScalingMode %d is out of range.
  kStatusOutOfRange = 177,        // Status of index [%d] is out of range (1 - %d).
  kIndicatorRangeOutside = 182,   // ... "ranges" element "%n" is out of indicator range (%n, %n).

  // ---- dialogs and the script-built interface window ----
  kControlCaptionMissing = 280,  // Error in line ●%s●. The "%s" keyword must be followed by ...
  kControlCommandMissing = 281,  // Error in line ●%s●. The keyword "%s" and the name ...

  // ---- databases and spreadsheets ----
  kDatabaseConnectionFailed = 215,  // The connection to the database failed.
  kNoDatabaseConnection = 216,      // No database connection.
  kDatabaseDisconnectFailed = 217,  // Failed to disconnect database connection.
  kNoSpreadsheet = 224,             // Missing opened EXCEL object. ...
  kParasiticSpreadsheet = 225,      // A parasitic invisible EXCEL object was detected. ...

  // ---- starting programs and opening files (the system's start codes) ----
  kOutOfResources = 191,     // The operating system is out of memory or resources.
  kFileNotFound = 192,       // The specified file was not found.
  kPathNotFound = 193,       // The specified path was not found.
  kInvalidExecutable = 194,  // The .exe file is invalid ...
  kAccessDenied = 195,       // The operating system denied access to the specified file.
  kBadAssociation = 196,     // The file name association is incomplete or invalid.
  kDdeBusy = 197,            // The DDE transaction could not be completed ... busy
  kDdeFailed = 198,          // The DDE transaction failed.
  kDdeTimeout = 199,         // The DDE transaction ... the request timed out.
  kDllNotFound = 200,        // The specified DLL was not found.
  kNoAssociation = 201,      // There is no application associated with the extension.
  kNotEnoughMemory = 202,    // There was not enough memory to complete the operation.
  kSharingViolation = 203,   // A sharing violation occurred.
  kUnknownStartError = 204,  // Unknown Error. ErrorCode = %d
  kCannotExecute = 206,      // Can not execute command. ErrorCode = %d.

  // ---- FTP, UDP and boards ----
  kFailedToCreateDirectory = 209,  // Failed to create directory "%s".
  kEnterPassword = 341,            // Enter password
  kFtpConnectFailed = 342,         // Failed to connect to FTP server.
  kFtpDisconnectFailed = 343,      // Failed to disconnect to FTP server.
  kFtpTransferError = 344,         // Error downloading file (with its trailing blank)
  kNoFtpConnection = 345,          // No connection to FTP server.
  kNoLocalFile = 346,              // No file "%s"
  kIpAddressNotSpecified = 349,    // IP address not specified.
  kLocalNetworkNotFound = 350,     // Local network not found.
  kComPortOutOfRange = 354,        // The port number "%d" is out of range (3-256).
  kInvalidBaudRate = 357,          // "%s" - invalid baud rate.

  // System automation.
  kArrayMustBeLength = 160,  // Array "%s" must be one-dimensional of length %d.
  kMouseMoveNeedsPoint = 169,  // Function Mouse; ... screen coordinates must present ...
};

}  // namespace msg

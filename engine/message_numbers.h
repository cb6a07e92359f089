// The numbers of the catalogue entries (resources/messages.tsv) the code refers to, named by
// what the entry says. A new message gets its entry in the catalogue and its name here.
#pragma once

namespace msg {

// ---- the program, its window and its views ----
inline constexpr int kProgramName = 1;          // Tressaly
inline constexpr int kLineReference = 2;        // Line %d.
inline constexpr int kAboutTitle = 8;           // Training program Tressaly
inline constexpr int kIntroduction = 20;        // Introduction
inline constexpr int kVariableCaption = 25;     // Variable
inline constexpr int kScriptTooLong = 27;       // Script is too long ... can't exceed %d.
inline constexpr int kCloseWithoutSaving = 29;  // Text of current script has been changed ... close ...?
inline constexpr int kScriptFunctionCaption = 36;  // Function, created in script text.
inline constexpr int kConstantCaption = 37;        // constant
inline constexpr int kGlobalVariables = 40;        // Global variables
inline constexpr int kLocalVariables = 42;         // Local variables
inline constexpr int kSynonymCaption = 86;         // Synonym:
inline constexpr int kExampleCaption = 87;         // Example
inline constexpr int kNamesColumn = 88;            // var.names
inline constexpr int kValuesColumn = 89;           // values
inline constexpr int kFunctionLevelColumn = 111;   // Function Level
inline constexpr int kArrayCaption = 148;          // Array
inline constexpr int kElementCount = 150;          // The number of elements: %d.
inline constexpr int kIncludeEndMissing = 173;     // End of "INCLUDE" block not found ...
inline constexpr int kNoExternalEditor = 180;      // The external text editor file is not specified ...
inline constexpr int kMissingDirectory = 208;      // Missing directory "%s" ...
inline constexpr int kEnterKeywords = 210;         // Enter keywords
inline constexpr int kFunctionReference = 221;     // Built-in functions reference.
inline constexpr int kSearchByKeywords = 230;      // Search by keywords
inline constexpr int kIntroductionItem = 247;      // Introduction (a module's first help item)
inline constexpr int kLaunchFromCommandLine = 248;  // Launch from the command line
inline constexpr int kSyntaxTutorial = 250;         // Tutorial for Syntax
inline constexpr int kAboutItem = 255;              // About Tressaly
inline constexpr int kInterfaceLanguage = 261;      // Interface language
inline constexpr int kEditorKind = 262;             // Editor Kind
inline constexpr int kUseInternalEditor = 264;      // Use internal editor
inline constexpr int kUseExternalEditor = 265;      // Use external editor
inline constexpr int kSpecifyExternalEditor = 266;  // Specify an external editor ...
inline constexpr int kReplaceCaption = 292;         // Replace
inline constexpr int kContinueCaption = 305;        // Continue
inline constexpr int kFindCaption = 318;            // Find
inline constexpr int kKeywordSearchHeading = 329;   // (heading of the keyword search's result)
inline constexpr int kHelpAction = 337;             // Help

// ---- lines, blocks and loops ----
inline constexpr int kIncorrectIndentInLine = 26;    // Incorrect indent %d in the line %d.
inline constexpr int kIndentError = 52;              // Error indent %d.
inline constexpr int kIfNeedsBoolean = 54;           // Operator <if> must be followed by boolean expression.
inline constexpr int kForNeedsLoopVariable = 55;     // Operator <for> must be followed by loop variable ...
inline constexpr int kLoopVariableNeedsEquals = 56;  // Loop variable identifier must be followed by =.
inline constexpr int kBadLoopStart = 57;             // Error in start value of loop variable ...
inline constexpr int kLoopStartNeedsComma = 58;      // Start value of loop variable must be followed by comma.
inline constexpr int kBadLoopFinal = 59;             // Error in final value of loop variable ...
inline constexpr int kBadLoopIncrement = 60;         // Error in increment value of the loop variable ...
inline constexpr int kOuterLoopVariable = 61;        // Identifier "%s" is external loop variable name.
inline constexpr int kTextAfterRepeat = 62;          // Operator <repeat> is followed by unexpected text.
inline constexpr int kBreakIfNeedsBoolean = 63;      // Operator <BreakIf> must be followed by boolean ...
inline constexpr int kContinueIfNeedsBoolean = 64;   // Operator <ContinueIf> must be followed by boolean ...
inline constexpr int kBreakIfOutsideLoop = 65;       // Only inside "REPEAT" ... <BreakIf> can be used.
inline constexpr int kContinueIfOutsideLoop = 66;    // Only inside "REPEAT" ... <ContinueIf> can be used.
inline constexpr int kForCounterError = 68;          // "FOR" counter value error in expression %s.
inline constexpr int kStructureError = 69;           // Error in the "%s" structure.

// ---- words and expressions ----
inline constexpr int kTooComplicated = 45;        // Expression <%s is too complicated.
inline constexpr int kBracketMismatch = 47;       // Bracket mismatch.
inline constexpr int kParsingError = 49;          // Expression parsing error.
inline constexpr int kUnterminatedString = 70;    // Unterminated string: %s
inline constexpr int kInvalidNumber = 72;         // Invalid numeric value: %s
inline constexpr int kUnexpectedSymbol = 73;      // Unexpected symbol "%s" in "%s", position: %d.
inline constexpr int kFunctionNeedsBracket = 74;  // Function name "%s" must be followed by "(" ...
inline constexpr int kBracketAfterFunction = 75;  // Bracket mismatch after function name "%s".
inline constexpr int kUnrecognisedIdentifier = 76;  // Unrecognised identifier "%s".
inline constexpr int kBitOperandType = 83;          // Bit operator not applicable to this operand type "%s".
inline constexpr int kUnsupportedFunction = 90;     // Unrecognised function "%s" ... version does not support
inline constexpr int kNotAnArray = 92;              // Identifier "%s" is not described as an array.
inline constexpr int kVariableMisuse = 93;          // Incorrect use of variable "%s".
inline constexpr int kIncorrectExpression = 94;     // Incorrect expression in string: %s
inline constexpr int kUnknownFunction = 95;         // Unknown function name "%s".
inline constexpr int kOperatorMisuse = 97;          // Incorrect use of operator "%s".
inline constexpr int kInvalidDataType = 129;        // Invalid data type of the variable "%s".
inline constexpr int kConversionError = 130;        // Error converting string "%s" to number.
inline constexpr int kBracketBeforePower = 211;     // Bracket mismatch before power operator "%s".
inline constexpr int kBracketAfterRoot = 212;       // Bracket mismatch after root operator "%s".
inline constexpr int kAmbiguousPower = 213;         // Ambiguous exponentiation operator "%s".

// ---- assignments and variables ----
inline constexpr int kInvalidRightSide = 77;        // Invalid expression "%s" in the right part of ...
inline constexpr int kArrayToVariable = 78;         // An array can't be assigned to simple variable
inline constexpr int kArrayToNonArray = 79;         // An array can only be assigned to another array
inline constexpr int kConstantAssigned = 80;        // Constant "%s" cannot be assigned to.
inline constexpr int kEmptyRightSide = 85;          // The right side of the assignment ... any value.
inline constexpr int kGlobalWithUnderscore = 125;   // Invalid global variable identifier "%s" ...
inline constexpr int kGlobalInFunctionBody = 131;   // It is forbidden to create a global variable "%s" ...

// ---- script functions ----
inline constexpr int kScriptFunctionNotFound = 50;  // Function name "%s" wasn't found in script text.
inline constexpr int kParameterCountMismatch = 51;  // The number of formal and actual parameters ...
inline constexpr int kNestedScriptFunction = 82;    // The parameters of the script function "%s" cannot ...
inline constexpr int kFormalWithoutUnderscore = 126;  // Invalid formal parameters identifier "%s" ...
inline constexpr int kIncorrectFunctionExit = 127;    // Incorrect exit out of script function.
inline constexpr int kFormalParametersError = 128;    // Error in formal parameters of script function "%s".

// ---- calls of library functions ----
inline constexpr int kInvalidNumericResult = 46;  // Function "%s" returned invalid numeric value.
inline constexpr int kIncorrectDate = 53;         // Incorrect date format "%s".
inline constexpr int kTooFewParameters = 81;      // Function "%s". The number of actual parameters (%d) ...
inline constexpr int kNegativeSquareRoot = 115;   // Function Sqrt() ... square root of a negative value
inline constexpr int kNegativeFractionalPower = 116;  // Function Pow() ... to a fractional power
inline constexpr int kParameterNotVariable = 117;     // ... Parameter of the function must be a variable ...
inline constexpr int kValueOutOfRange = 118;          // Function "%s". Parameter value "%s" is out of range.
inline constexpr int kParameterMustBeVariable = 119;  // ... Parameter № %d must be variable ...
inline constexpr int kTooManyParameters = 120;        // Function "%s". The number of parameters exceeds %d.
inline constexpr int kIncorrectParameters = 163;      // Incorrect parameters for calling the "%s" function.
inline constexpr int kJsonObjectNotFound = 178;       // JSON object "%s" wasn't found.
inline constexpr int kJsonInvalidFloat = 179;         // Invalid float value "%s" in JSON object "%s".

// ---- arrays and matrices ----
inline constexpr int kTooManyArrays = 138;            // Maximum allowable amount of arrays %d.
inline constexpr int kArrayDescriptionError = 139;    // Array description error.
inline constexpr int kArrayNameError = 141;           // Array name error "%s".
inline constexpr int kArrayNameNeedsBracket = 142;    // Name of array %s must be followed by [.
inline constexpr int kArrayDimensionUnclosed = 143;   // Array dimension must be ended by ].
inline constexpr int kArrayNeedsDataType = 144;       // Description of the array "%s" must end with a type
inline constexpr int kTooManyDimensions = 145;        // Dimension of the array can't exceed 4.
inline constexpr int kCannotCreateArray = 146;        // Could not create the array "%s".
inline constexpr int kUnknownArray = 147;             // Unknown array name "%s".
inline constexpr int kArrayMustBeString = 149;        // The array "%s" must be string
inline constexpr int kElementNeedsBracket = 151;      // Array name "%s" must be followed by "[".
inline constexpr int kElementNeedsEquals = 152;       // Element of the array "%s" must be followed by "=".
inline constexpr int kIndexOutOfRange = 153;          // Index(-ices) of array "%s" out of range
inline constexpr int kInitialValuesError = 155;       // Error in structure of the array loadable values list.
inline constexpr int kMustBeTwoDimensional = 156;     // Array "%s" must be two-dimensional
inline constexpr int kMatrixSizesMismatch = 157;      // The number of rows of the first matrix ... must match.
inline constexpr int kMatrixNotSquare = 158;          // The first and second dimensions of "%s" must be equal.
inline constexpr int kSingularMatrix = 159;           // The determinant of the matrix "%s" is zero ...
inline constexpr int kIndexNotInteger = 161;          // Index of the array "%s" must be an integer value ...
inline constexpr int kTextAfterDataType = 162;        // The data type of the array may be followed by "=" ...
inline constexpr int kMustBeVectorOfThree = 164;      // Array "%s" must be one-dimensional length 3.
inline constexpr int kMustBeOneOrTwoDimensional = 165;  // Array "%s" must be two- or one-dimensional
inline constexpr int kColumnBeyondArray = 166;          // The second parameter ... should not exceed ... (%d).
inline constexpr int kColumnOfVector = 167;             // The second parameter ... for a one-dimensional array
inline constexpr int kArraySizesDiffer = 168;           // Arrays "%s" and "%s" must be the same size.
inline constexpr int kArrayMustBeFloat = 185;           // Array "%s" must have data type - "float".
inline constexpr int kParameterMustBeArray = 186;       // Parameter "%s" must be the array.

// ---- files ----
inline constexpr int kInvalidFileName = 170;      // Invalid file name "%s" or no access.
inline constexpr int kUnintendedEncoding = 171;   // ... an unintended character encoding "%s" is specified.
inline constexpr int kInvalidExtension = 172;     // Invalid file extension "%s".
inline constexpr int kReadPastEnd = 183;          // Start reading position "%d" exceeds size of file "%s".
inline constexpr int kWritePastEnd = 184;         // Start written position "%d" exceeds size of file "%s".

// ---- starting programs and opening files (the system's start codes) ----
inline constexpr int kOutOfResources = 191;       // The operating system is out of memory or resources.
inline constexpr int kFileNotFound = 192;         // The specified file was not found.
inline constexpr int kPathNotFound = 193;         // The specified path was not found.
inline constexpr int kInvalidExecutable = 194;    // The .exe file is invalid ...
inline constexpr int kAccessDenied = 195;         // The operating system denied access to the specified file.
inline constexpr int kBadAssociation = 196;       // The file name association is incomplete or invalid.
inline constexpr int kDdeBusy = 197;              // The DDE transaction could not be completed ... busy
inline constexpr int kDdeFailed = 198;            // The DDE transaction failed.
inline constexpr int kDdeTimeout = 199;           // The DDE transaction ... the request timed out.
inline constexpr int kDllNotFound = 200;          // The specified DLL was not found.
inline constexpr int kNoAssociation = 201;        // There is no application associated with the extension.
inline constexpr int kNotEnoughMemory = 202;      // There was not enough memory to complete the operation.
inline constexpr int kSharingViolation = 203;     // A sharing violation occurred.
inline constexpr int kUnknownStartError = 204;    // Unknown Error. ErrorCode = %d
inline constexpr int kCannotExecute = 206;        // Can not execute command. ErrorCode = %d.

}  // namespace msg

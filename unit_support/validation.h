// Checking a call's arguments against the signature of its description.
#pragma once

#include <QString>

#include "engine/words.h"
#include "unit_support/descriptions.h"

// The parameters a Formula declares, read once per slot.
struct Signature {
  bool missingCloseBracket = false;
  struct Parameter {
    QString type;        // lower case; "anytype" for an empty type word
    bool mustBeVariable = false;
    bool badType = false;  // not one of the six type words
  };
  std::vector<Parameter> parameters;
  int required = 0;
  QString resultType;
  bool badResultType = false;
  // A "var " before the parameter at this index (may equal parameters.size() when no
  // parameter followed it).
  std::vector<int> varChecks;
};

Signature ParseSignature(const QString& formula);

// Validates a call of `kind` (general ... Arduino). `name` becomes the canonical name.
// Returns the declared result type; failures go to RaiseScriptError.
QString ValidateFunctionCall(TWordKind kind, QString& name, const TWordArray& args);

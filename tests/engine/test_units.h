// Small function units with fixed name lists, for classification tests.
#pragma once

#include <QStringList>

#include "engine/function_units.h"
#include "engine/names.h"

class ListUnit : public FunctionUnit {
 public:
  ListUnit(TWordKind kind, QStringList names) : kind_(kind), names_(std::move(names)) {}
  TWordKind WordKind() const override { return kind_; }
  int FindFunction(QStringView name) const override {
    for (int i = 0; i < names_.size(); ++i)
      if (SameName(names_[i], name)) return i;
    return -1;
  }
  void Dispatch(const QString&, const TWordArray&, TWordStatus& result) override {
    result = EmptyWord;
  }

 private:
  TWordKind kind_;
  QStringList names_;
};

// Registers the units for a test's lifetime.
class ScopedUnits {
 public:
  explicit ScopedUnits(std::initializer_list<ListUnit*> units) : units_(units) {
    for (ListUnit* u : units_) RegisterFunctionUnit(u);
  }
  ~ScopedUnits() {
    for (ListUnit* u : units_) UnregisterFunctionUnit(u->WordKind());
  }

 private:
  std::vector<ListUnit*> units_;
};

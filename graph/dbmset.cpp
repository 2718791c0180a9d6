#include "graph/dbmset.h"

#include "graph/scalgraph.h"

#include <stdexcept>
#include <string>

void TDBMSet::CheckRaw(int raw) {
    if (raw < SignalScale::kRawMin || raw > SignalScale::kRawMax)
        throw std::out_of_range("DBM index out of range (" + std::to_string(raw) + ")");
}

double TDBMSet::DBM(int raw) const {
    CheckRaw(raw);
    return values_[static_cast<std::size_t>(raw)];
}

void TDBMSet::SetDBM(int raw, double value) {
    CheckRaw(raw);
    double &stored = values_[static_cast<std::size_t>(raw)];
    if (stored == value) return;
    stored = value;
    Changed();
}

void TDBMSet::SetColor(TColor value) {
    if (color_ == value) return;
    color_ = value;
    Changed();
}

void TDBMSet::SetName(const QString &value) {
    if (name_ == value) return;
    name_ = value;
    Changed();
}

void TDBMSet::Changed() {
    if (owner_) owner_->Redraw();
}

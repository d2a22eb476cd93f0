#include "record_diff.h"

std::string FieldDifference::line() const {
    return field + ": " + before + " -> " + after;
}

std::vector<FieldDifference> recordDifferences(const BankRecord&, const BankRecord&) {
    return {};
}

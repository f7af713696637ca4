#pragma once

#include <QtTest>
#include <cstddef>

namespace qlm::test {

// The rows of a data-driven test as an array of structs, one line each, named by their first
// member `name`: the data function adds them, the test function reads its own.
template <typename R, std::size_t N>
void AddRows(const R (&rows)[N]) {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i) {
        QTest::newRow(rows[i].name) << int(i);
    }
}
template <typename R, std::size_t N>
const R& ThisRow(const R (&rows)[N]) {
    return rows[*static_cast<int*>(QTest::qData("row", qMetaTypeId<int>()))];
}

}  // namespace qlm::test

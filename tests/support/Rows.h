#pragma once

#include <QtTest>
#include <cstddef>

namespace qlm::test {

// A test's rows as one table of structs whose first member is the row's name: the data
// function adds them, the test takes the current one.
template <typename Row, std::size_t N>
void addRows(const Row (&rows)[N]) {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i) {
        QTest::newRow(rows[i].name) << int(i);
    }
}

template <typename Row, std::size_t N>
const Row& currentRow(const Row (&rows)[N]) {
    return rows[*static_cast<const int*>(QTest::qData("row", QMetaType::Int))];
}

}  // namespace qlm::test

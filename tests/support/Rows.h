#pragma once

#include <QtTest>

namespace qlm::test {

// A data-driven test's cases as one array of structs, each named by its `tag`: the _data()
// function adds them, the test reads its own with CurrentRow.
template <typename Row, std::size_t N>
void AddRows(const Row (&rows)[N]) {
    QTest::addColumn<int>("row");
    for (std::size_t i = 0; i < N; ++i) {
        QTest::newRow(rows[i].tag) << static_cast<int>(i);
    }
}

template <typename Row, std::size_t N>
const Row& CurrentRow(const Row (&rows)[N]) {
    QFETCH(int, row);
    return rows[row];
}

}  // namespace qlm::test

#pragma once
#include <QAnyStringView>

namespace platform {

// A control (or any object) created with the name the program and its tests
// find it by: named(new QLabel(this), "lblTitle").
template <typename T> T* named(T* object, QAnyStringView name) {
    object->setObjectName(name);
    return object;
}

} // namespace platform

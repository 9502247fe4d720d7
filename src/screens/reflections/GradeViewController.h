#pragma once

#include "BasicVC.h"

// Stands in until the real screen is merged: the class name and title only.
class GradeViewController : public BasicVC {
    Q_OBJECT
public:
    explicit GradeViewController(QWidget *parent = nullptr)
        : BasicVC(parent) {}

protected:
    void viewDidLoad() override {
        BasicVC::viewDidLoad();
        setTitle(QStringLiteral("读后感"));
    }
};

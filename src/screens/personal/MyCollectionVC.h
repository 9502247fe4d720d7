#pragma once

#include "BasicVC.h"

// Stands in until the real screen is merged: the class name and title only.
class MyCollectionVC : public BasicVC {
    Q_OBJECT
public:
    explicit MyCollectionVC(QWidget *parent = nullptr)
        : BasicVC(parent) {}

protected:
    void viewDidLoad() override {
        BasicVC::viewDidLoad();
        setTitle(QStringLiteral("我的收藏"));
    }
};

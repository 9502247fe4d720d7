#pragma once

#include "BasicVC.h"
#include "records/ContentRecords.h"

// Stands in until the real screen is merged: the class name and title only.
class ClassDetailVC : public BasicVC {
    Q_OBJECT
public:
    explicit ClassDetailVC(QWidget *parent = nullptr)
        : BasicVC(parent) {}

    void setStudentModel(const StudentListModel &model) { m_studentModel = model; }
    const StudentListModel &studentModel() const { return m_studentModel; }

protected:
    void viewDidLoad() override {
        BasicVC::viewDidLoad();
        setTitle(QStringLiteral("详情"));
    }

private:
    StudentListModel m_studentModel;
};

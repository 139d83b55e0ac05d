// The course catalogue requests: icons, permissions, classes, pupils, courseware, course files and questions.
#pragma once

#include "DataFolder.h"
#include "FormBody.h"
#include "Reply.h"

namespace courseware {

class Catalogue {
public:
    explicit Catalogue(const DataFolder& data) : _data(data) {}

    Reply getCourseIcon(const FormFields& fields) const;
    Reply getCoursePermission(const FormFields& fields) const;
    Reply getClassList(const FormFields& fields) const;
    Reply getCourseList(const FormFields& fields) const;
    Reply getCourseFileList(const FormFields& fields) const;
    Reply getStudentList(const FormFields& fields) const;
    Reply getCourseQuestionList(const FormFields& fields) const;

private:
    // The whole file as "data".
    Reply wholeFile(const std::string& name) const;

    const DataFolder& _data;
};

} // namespace courseware

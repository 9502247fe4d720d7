#pragma once

#include <functional>

#include <QtGlobal>

class ViewController;

// How one feature opens another feature's screen without naming its class: the program registers
// a maker per link at start-up (ScreenRegistration), a feature asks for the link. Features are
// libraries that never link one another, so this table is the only road between them.
namespace ScreenLinks {

enum class Link {
    BookDetail,  // argument: the book's id
    ClassRoster, // the teacher's classes and their pupils ("班级"); argument: the class to open, 0
                 // the first
    MyCollection,   // the teacher's collected books
    Grading,        // "读后感批阅"
    ChangePassword, // "修改密码"
    ChangePhone,    // "更换手机号"
};

using Maker = std::function<ViewController *(qint64 argument)>;

// Replaces the maker of `link`; an empty maker unregisters it.
void set(Link link, Maker maker);
// A new screen for `link`, or null (with a warning) while none is registered.
ViewController *make(Link link, qint64 argument = 0);

} // namespace ScreenLinks

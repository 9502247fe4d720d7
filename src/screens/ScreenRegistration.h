#pragma once

// Registers with ScreenFactory every screen the frame makes by class name (the login stack and
// the four tab roots), each through its class's navigationControllerContainSelf. The program
// calls it once at start; screen tests call it too.
namespace ScreenRegistration {
void registerAll();
}

#pragma once

// Hands the shell what it makes but cannot name: the first-launch guide, the login stack and the
// tabs in their order (root screen, title, normal and selected icon), each stack made by its root
// class's navigationControllerContainSelf. The program calls it once at start; screen tests call
// it too.
namespace ScreenRegistration {
void registerAll();
}

#pragma once

#include <QIcon>

// Pictures for the main tool bar and menus, drawn in code so that they look
// the same on every desktop.
enum class ToolGlyph { Lock, Users, Program, MultiProgram, Audit, ReadKey, RemoteCode, Schedule, Clock, Operator, Quit };

QIcon toolIcon(ToolGlyph glyph);

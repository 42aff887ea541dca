// The uninstaller's resources, compiled from res/uninstall/uninstall.vres and
// the generated artwork; the program installs it at start.
#pragma once

#include "platform/resources/Resources.h"

const platform::ResourceModule& UninstallResources();

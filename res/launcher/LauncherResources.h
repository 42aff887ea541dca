// The launcher's resources, compiled from res/launcher/launcher.vres and the
// generated artwork; the program installs it at start.
#pragma once

#include "platform/resources/Resources.h"

const platform::ResourceModule& LauncherResources();

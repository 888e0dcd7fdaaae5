// Umbrella header: every public header of the item library.
#pragma once

#include "platform/CString.h"
#include "platform/FileSystem.h"
#include "platform/Variant.h"
#include "platform/WinTypes.h"
#include "serial/BinaryFormat.h"
#include "serial/BinarySerialIn.h"
#include "serial/BinarySerialOut.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/ISerialStream.h"
#include "serial/NodeName.h"
#include "serial/SerialClass.h"
#include "serial/SerialDo.h"
#include "serial/SerialStrategies.h"
#include "serial/SerialTree.h"
#include "serial/Streams.h"
#include "serial/VersionInfo.h"

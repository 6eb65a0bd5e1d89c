// The connection model: OlapConnection with its providers, and what it
// opens: databases, cube entries, cubes (KCube), dimensions (KDimension),
// hierarchies, levels (KLevel) and members (KMember). One include for its
// users. Every collection counts from 0.
#pragma once

#include "connection.h"
#include "connectioncube.h"
#include "connectiondimension.h"
#include "connectionlevel.h"
#include "connectionmember.h"
#include "provider.h"
#include "providerlocalfile.h"
#include "providerregistry.h"

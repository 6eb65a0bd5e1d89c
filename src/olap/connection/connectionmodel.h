// The connection model: OlapConnection with its providers, and what it
// opens: databases, cube entries, cubes (KCube), dimensions (KDimension),
// hierarchies, levels (KLevel) and members (KMember). One include for its
// users. Every collection counts from 0.
#pragma once

#include "olap/connection/connection.h"
#include "olap/connection/connectioncube.h"
#include "olap/connection/connectiondimension.h"
#include "olap/connection/connectionlevel.h"
#include "olap/connection/connectionmember.h"
#include "olap/connection/provider.h"
#include "olap/connection/providerlocalfile.h"
#include "olap/connection/providerregistry.h"

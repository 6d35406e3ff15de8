// The bench's built-in session: every family driven as the host does, on the
// rig that PrepareRigFiles writes.
#pragma once

extern const char kDefaultSession[];

// What a user is told before a search that will walk every drive.
#pragma once

namespace lumiseek {

struct App;

// Our own engine (it names es-roots.txt) with no es-roots.txt beside it searches every fixed drive,
// which takes long: the first search of a run says so, after its announcement. Everything's es, or
// a roots file, say nothing.
void SayWhenSearchingAllDrives(App& app);

}  // namespace lumiseek

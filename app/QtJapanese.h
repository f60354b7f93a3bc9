#pragma once

namespace rp {

// Qt's own texts (standard buttons, file dialogs, input boxes) in Japanese, whatever the machine's
// locale: the program speaks Japanese only. Loads Qt's catalogue once into the running application;
// false when it is not installed (the texts then stay Qt's English ones).
bool LoadQtTranslations();

} // namespace rp

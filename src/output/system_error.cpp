// Portuguese words for the errno values a file operation meets.
#include "output/system_error.hpp"

#include <cerrno>
#include <cstring>

namespace dispersao {

std::string system_error_text(int error) {
    switch (error) {
        case ENOENT:
            return "arquivo ou pasta inexistente";
        case EACCES:
        case EPERM:
            return "permissao negada";
        case EROFS:
            return "sistema de arquivos somente para leitura";
        case ENOSPC:
            return "nao ha espaco no disco";
        case EDQUOT:
            return "a cota de disco acabou";
        case EISDIR:
            return "e uma pasta";
        case ENOTDIR:
            return "parte do caminho nao e uma pasta";
        case EEXIST:
            return "o nome ja existe";
        case EIO:
            return "erro de entrada e saida do dispositivo";
        case ENAMETOOLONG:
            return "nome longo demais";
        case ELOOP:
            return "links simbolicos demais no caminho";
        case EMFILE:
        case ENFILE:
            return "arquivos abertos demais";
        case EFBIG:
            return "arquivo grande demais";
        case ETXTBSY:
        case EBUSY:
            return "o arquivo esta em uso";
        case ENXIO:
        case ENODEV:
            return "dispositivo inexistente";
        case EXDEV:
            return "a pasta fica em outro sistema de arquivos";
        case ENOMEM:
            return "falta memoria";
        case EINVAL:
            return "argumento invalido";
        case 0:
            return "erro desconhecido";
        default:
            break;
    }
    return std::string("erro do sistema ") + std::to_string(error) + " (" + std::strerror(error) +
           ")";
}

}  // namespace dispersao

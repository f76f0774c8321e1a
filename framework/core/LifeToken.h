#pragma once
// A shared token that dies with its owner, so that holders of a plain pointer to the
// owner can tell (through a weak reference) whether the pointer is still good.

#include <memory>

namespace Vabo {

class LifeToken {
public:
    LifeToken()
        : token_(std::make_shared<char>(0))
    {
    }
    LifeToken(const LifeToken&) = delete;
    LifeToken& operator=(const LifeToken&) = delete;

    std::weak_ptr<void> Watch() const { return token_; }
    // Every watch expires now, before the owner itself dies.
    void Expire() { token_.reset(); }

private:
    std::shared_ptr<char> token_;
};

} // namespace Vabo

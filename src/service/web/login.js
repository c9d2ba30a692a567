// The login page: the token is exchanged for a session cookie, then the
// sign's page is loaded.
'use strict';

document.getElementById('login').addEventListener('submit', async (event) => {
  event.preventDefault();
  const box = document.getElementById('message');
  try {
    const response = await fetch('/api/login', {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify({ token: document.getElementById('token').value }),
    });
    if (response.ok) {
      location.reload();
      return;
    }
    const data = await response.json().catch(() => null);
    box.textContent = (data && data.error) || ('HTTP ' + response.status);
  } catch (e) {
    box.textContent = e.message;
  }
  box.className = 'shown';
});
